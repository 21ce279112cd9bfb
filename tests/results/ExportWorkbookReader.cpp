#include "results/ExportWorkbookReader.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace vantorix::test {

namespace {
// Debian's own interpreter: the one first on PATH may not see the system's openpyxl.
const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kScript = QStringLiteral(TEST_SOURCE_DIR "/results/read_workbook.py");

ReadSheet toSheet(const QJsonObject& json) {
    ReadSheet sheet;
    sheet.name = json.value("name").toString();
    sheet.maxRow = json.value("max_row").toInt();
    for (const QJsonValue& c : json.value("cells").toArray()) {
        const QJsonArray cell = c.toArray();
        sheet.cells[{cell[0].toInt(), cell[1].toInt()}] = {cell[2].toString(), cell[3].toVariant()};
    }
    return sheet;
}
// The reader's JSON output; records a failure and returns {} when the file cannot be read.
QJsonObject runReader(const QString& path) {
    QProcess p;
    p.start(kPython, {kScript, path});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "reading " << path.toStdString()
                      << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}
}  // namespace

std::vector<std::vector<ReadCell>> readCsv(const QString& path) {
    std::vector<std::vector<ReadCell>> rows;
    for (const QJsonValue& r : runReader(path).value("rows").toArray()) {
        rows.emplace_back();
        for (const QJsonValue& f : r.toArray())
            rows.back().push_back({f.toArray()[0].toString(), f.toArray()[1].toVariant()});
    }
    return rows;
}

QStringList workbookTexts(const QString& path) {
    QStringList texts;
    for (const QJsonValue& t : runReader(path).value("texts").toArray()) texts << t.toString();
    return texts;
}

std::vector<ReadSheet> readWorkbook(const QString& path) {
    std::vector<ReadSheet> sheets;
    for (const QJsonValue& s : runReader(path).value("sheets").toArray())
        sheets.push_back(toSheet(s.toObject()));
    return sheets;
}

}  // namespace vantorix::test
