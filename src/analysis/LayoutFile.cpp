#include "analysis/LayoutFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "analysis/AnalysisText.h"
#include "analysis/LayoutText.h"
#include "plate/PlateGeometry.h"

namespace vantorix {

namespace {

// Layout files are typed by hand: anything near this size is not one.
constexpr qint64 kMaxLayoutFileBytes = 1024 * 1024;

LayoutRead failed(const QString& message) {
    LayoutRead r;
    r.message = message;
    return r;
}

QString numberCell(double v) {
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

QString csvRow(int well, const WellAssignment& w, bool withExclusions) {
    QStringList cells{
        wellName(well), roleKey(w.role), csvCell(w.name),
        w.concentration ? numberCell(*w.concentration) : QString(),
        w.role == WellRole::Sample || w.dilution != 1 ? numberCell(w.dilution) : QString()};
    if (withExclusions)
        cells << (w.excluded ? csvCell(w.exclusionReason.isEmpty() ? QStringLiteral("excluded")
                                                                   : w.exclusionReason)
                             : QString());
    return cells.join(u',') + u'\n';
}

}  // namespace

LayoutRead parseLayoutText(const QString& text) {
    const LayoutLines lines = layoutLines(text);
    if (lines.empty()) return failed(QStringLiteral("the layout holds no wells"));
    return isCsvLayout(lines) ? parseCsvLayout(lines) : parseBlockLayout(lines);
}

LayoutRead readLayoutFile(const QString& path) {
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists()) return failed(path + QStringLiteral(": no such file"));
    if (!info.isFile()) return failed(path + QStringLiteral(": not a regular file"));
    if (info.size() > kMaxLayoutFileBytes)
        return failed(path + QStringLiteral(": too large for a layout file"));
    if (!file.open(QIODevice::ReadOnly))
        return failed(path + QStringLiteral(": ") + file.errorString());
    const QByteArray bytes = file.read(kMaxLayoutFileBytes + 1);
    if (bytes.size() > kMaxLayoutFileBytes)
        return failed(path + QStringLiteral(": too large for a layout file"));
    LayoutRead r = parseLayoutText(QString::fromUtf8(bytes));
    if (!r.ok) r.message = path + QStringLiteral(": ") + r.message;
    return r;
}

QString layoutCsvText(const WellLayout& layout) {
    const bool withExclusions = std::any_of(layout.wells.begin(), layout.wells.end(),
                                            [](const WellAssignment& w) { return w.excluded; });
    const QString concentration =
        layout.concentrationUnit.isEmpty()
            ? QStringLiteral("concentration")
            : csvCell(QStringLiteral("concentration (%1)").arg(layout.concentrationUnit));
    QString text = QStringLiteral("well,role,name,%1,dilution").arg(concentration);
    text += withExclusions ? QStringLiteral(",excluded\n") : QStringLiteral("\n");
    for (int well = 0; well < kWellCount; ++well)
        if (layout.wells[size_t(well)].role != WellRole::Empty)
            text += csvRow(well, layout.wells[size_t(well)], withExclusions);
    return text;
}

QString writeLayoutFile(const WellLayout& layout, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return path + QStringLiteral(": ") + file.errorString();
    const QByteArray bytes = layoutCsvText(layout).toUtf8();
    // A full disk shows only when the buffer is flushed; the old file must survive it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = path + QStringLiteral(": ") + file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) return path + QStringLiteral(": ") + file.errorString();
    return {};
}

QString layoutPathFor(const QString& dataFilePath) {
    const QFileInfo info(dataFilePath);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".layout.csv"));
}

}  // namespace vantorix
