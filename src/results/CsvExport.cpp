#include "results/CsvExport.h"

#include <QSaveFile>
#include <charconv>

#include "results/ExportCells.h"

namespace vantorix {

namespace {

// Shortest plain decimal text that reads back as the same double ("1000000", never "1e+06"),
// "." whatever the locale.
QString numberText(double value) {
    char buffer[512];  // room for the longest fixed-notation double
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString cellField(const ExportCell& cell) {
    return cell.kind == ExportCell::Kind::Text ? csvField(cell.text) : numberText(cell.number);
}

void appendPlate(std::vector<QStringList>& records, const PlateDocument& d, int set,
                 ExportCell (*rule)(const WellReading&)) {
    for (int r = 1; r <= kPlateRows; ++r) {
        QStringList fields;
        for (int c = 1; c <= kPlateColumns; ++c) fields << cellField(rule(d.reading(set, r, c)));
        records.push_back(fields);
    }
}

}  // namespace

std::vector<QStringList> csvExportRecords(const PlateDocument& d, int shownSets,
                                          bool& headerMissing) {
    std::vector<QStringList> records;
    const ExportDocument doc = readExportDocument(d, shownSets);
    const auto& header = doc.header;
    headerMissing = !header;
    if (header)
        for (const ExportHeaderLine& line : exportHeaderLines(*header))
            records.push_back({csvField(line.label), csvField(line.value)});
    // Two empty records, then each set: its line, readings, times line, times, empty record.
    records.resize(records.size() + 2);
    const int sets = doc.sets;
    for (int k = 1; k <= sets; ++k) {
        records.push_back({csvField(exportSetLine(k))});
        appendPlate(records, d, k, readingCell);
        records.push_back({csvField(QStringLiteral("Times: ") + QString::number(k))});
        appendPlate(records, d, k, timeCell);
        if (k < sets) records.emplace_back();
    }
    return records;
}

QString csvField(const QString& text) {
    // A spreadsheet takes text starting with one of these for a formula (or strips the tab or
    // CR); the apostrophe keeps it text.
    static const QString formulaStart = QStringLiteral("=+-@\t\r");
    const bool guard = !text.isEmpty() && formulaStart.contains(text.front());
    QString field = QString(text).replace(u'"', QStringLiteral("\"\""));
    if (guard) field.prepend(u'\'');
    return u'"' + field + u'"';
}

CsvExportResult WriteCsvExport(const PlateDocument& d, int shownSets, const QString& path) {
    CsvExportResult result;
    QByteArray bytes;
    for (const QStringList& record : csvExportRecords(d, shownSets, result.headerMissing)) {
        bytes += record.join(u',').toUtf8() + "\r\n";
    }
    QSaveFile file(path);
    // A full disk shows only when the buffered bytes are flushed; never commit then.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        result.error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace vantorix
