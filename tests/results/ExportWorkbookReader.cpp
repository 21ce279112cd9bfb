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
}  // namespace

std::vector<ReadSheet> readWorkbook(const QString& path) {
    QProcess p;
    p.start(kPython, {kScript, path});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "reading " << path.toStdString()
                      << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    const QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput());
    std::vector<ReadSheet> sheets;
    for (const QJsonValue& s : doc.object().value("sheets").toArray())
        sheets.push_back(toSheet(s.toObject()));
    return sheets;
}

}  // namespace vantorix::test
