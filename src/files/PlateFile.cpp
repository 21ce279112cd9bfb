#include "files/PlateFile.h"

#include <QFileInfo>

#include "files/OvdLoader.h"
#include "kernel/KeyStore.h"
#include "kernel/ProgramState.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {

std::optional<double> numberIn(const QString& text) {
    const double v = readingValue(text);
    return v >= 0 ? std::optional<double>(v) : std::nullopt;
}

QString numberText(std::optional<double> v) {
    return v ? doubleText(*v) : QStringLiteral("-1");
}

// The file's mask rows where it has them, else every well holding a reading in some set.
decltype(RunOptions::SelectedWells) selectionOf(const KeyStore& store,
                                                const std::vector<Dataset>& sets) {
    decltype(RunOptions::SelectedWells) wells{};
    bool maskFound = false;
    for (int r = 0; r < kPlateRows; ++r) {
        QString row;
        if (!store.GetKeyValue(
                kRootKey + QStringLiteral(".data.mask.row-%1").arg(r, 3, 10, QChar(u'0')), row))
            continue;
        maskFound = true;
        for (int c = 0; c < kPlateColumns && c < row.size(); ++c) wells[r][c] = row[c] == u'1';
    }
    if (maskFound) return wells;
    for (const Dataset& set : sets)
        for (int w = 0; w < kWellCount; ++w)
            if (set.wells[w].raw) wells[wellRowOf(w)][wellColumnOf(w)] = true;
    return wells;
}

PlateHeader headerOf(const KeyStore& store) {
    const QString h = kRootKey + QStringLiteral(".data-header.");
    PlateHeader header;
    header.test = store.value(h + "test");
    header.operatorName = store.value(h + "operator");
    header.plateNo = store.value(h + "plate-no");
    header.notes = store.value(h + "notes");
    header.dateText = store.value(h + "date");
    header.timeText = store.value(h + "time");
    header.extraSensitive = store.value(h + "extra-sensitivity-option") == u"On";
    return header;
}

}  // namespace

PlateDocument plateDocumentOf(const ProgramState& s, int firstSet, int lastSet,
                              bool lastSetComplete) {
    PlateDocument d;
    d.header = {s.Test, s.Operator, s.PlateNo, s.Notes, {}, {}, s.CurrentOptions.Sensitive != 0};
    d.options = s.CurrentOptions;
    d.firmwareVersion = s.FirmwareVersion;
    d.formatId = s.FileFormatId;
    for (int set = std::max(firstSet, 1); set <= std::min(lastSet, kMaxSets); ++set) {
        Dataset data;
        data.complete = set < lastSet || lastSetComplete;
        for (int w = 0; w < kWellCount; ++w) {
            const Reading& r = s.readings.at(set, wellRowOf(w) + 1, wellColumnOf(w) + 1);
            WellReading& well = data.wells[w];
            well.raw = numberIn(r.Value);
            if (isNumeric(r.Time) && leadingNumber(r.Time) >= 0)
                well.seconds = leadingNumber(r.Time);
            well.status = wellStatus(well.raw, d.selected(w), data.complete);
        }
        d.datasets.push_back(data);
    }
    return d;
}

PlateFileRead readPlateFile(const QString& path) {
    ProgramState s;
    const LoadResult loaded =
        LoadDataFile(s, QFileInfo(path).absolutePath(), QFileInfo(path).absoluteFilePath());
    PlateFileRead read;
    read.ok = loaded.ok;
    read.notices = loaded.notices;
    if (!loaded.ok) {
        read.message = loaded.message;
        return read;
    }
    read.document = plateDocumentOf(s, 1, loaded.setsLoaded);
    read.document.header = headerOf(s.keyStore);
    read.document.options.SelectedWells = selectionOf(s.keyStore, read.document.datasets);
    read.document.options.Sensitive = read.document.header.extraSensitive ? 1 : 0;
    read.document.firmwareVersion =
        s.keyStore.value(kRootKey + QStringLiteral(".firmware.version.string"));
    read.document.programVersion =
        s.keyStore.value(kRootKey + QStringLiteral(".user-application.version.string"));
    for (Dataset& set : read.document.datasets)
        for (int w = 0; w < kWellCount; ++w)
            set.wells[w].status = wellStatus(set.wells[w].raw, read.document.selected(w), true);
    return read;
}

WriteResult writePlateFile(const PlateDocument& d, const QString& path, const QDateTime& now,
                           const ProgramVersion& version) {
    if (d.datasets.size() > size_t(kMaxSets))
        return {false, QStringLiteral("a data file holds at most %1 sets").arg(kMaxSets)};
    ProgramState s;
    s.DataFileName = QFileInfo(path).absoluteFilePath();
    s.Test = d.header.test;
    s.Operator = d.header.operatorName;
    s.PlateNo = d.header.plateNo;
    s.Notes = d.header.notes;
    s.CurrentOptions = d.options;
    s.CurrentOptions.Sensitive = d.header.extraSensitive ? 1 : 0;
    s.FirmwareVersion = d.firmwareVersion;
    s.FirstSet = 1;
    s.LastSet = d.setCount();
    for (int set = 1; set <= d.setCount(); ++set)
        for (int w = 0; w < kWellCount; ++w) {
            const WellReading& well = d.datasets[set - 1].wells[w];
            s.readings.at(set, wellRowOf(w) + 1, wellColumnOf(w) + 1) = {numberText(well.raw),
                                                                         numberText(well.seconds)};
        }
    return WriteDataFile(s, QFileInfo(path).absolutePath(), now, version);
}

}  // namespace vantorix
