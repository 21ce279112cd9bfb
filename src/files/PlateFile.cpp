#include "files/PlateFile.h"

#include "files/KeyStore.h"
#include "files/OvdLoader.h"
#include "files/OvdParser.h"
#include "files/RegularFile.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {

const QString kCantOpen = QStringLiteral("Can't open that file");

bool startsAtRoot(const QString& text) {
    if (!text.startsWith(kRootKey)) return false;
    const qsizetype n = kRootKey.size();
    return text.size() == n || text[n] == u'.' || text[n] == u'=';
}

// True when any entry, or the elements still open, belong to the data format (their path
// starts at its root element).
bool holdsDataFormat(const KeyStore& store, const QString& unclosedPath) {
    if (startsAtRoot(unclosedPath)) return true;
    for (const QString& e : store.entries())
        if (startsAtRoot(e)) return true;
    return false;
}

// The file's mask rows where it has them (maskFound), else every well holding a reading in
// some set.
decltype(RunOptions::SelectedWells) selectionOf(const KeyStore& store,
                                                const std::vector<Dataset>& sets, bool& maskFound) {
    decltype(RunOptions::SelectedWells) wells{};
    maskFound = false;
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
    header.sensitivityText = store.value(h + "extra-sensitivity-option");
    header.extraSensitive = header.sensitivityText == u"On";
    header.setsText = store.value(kDataSetsKey);
    return header;
}

// Everything but the datasets: the header, the selection and the versions.
void describeDocument(const KeyStore& store, PlateDocument& d) {
    d.header = headerOf(store);
    d.fromFile = true;
    DataHeader checked;
    QString formatId;
    d.recognised = ReadDataHeader(store, checked, formatId);
    if (isNumeric(d.header.setsText)) d.declaredSets = toInt16(leadingNumber(d.header.setsText));
    d.options.SelectedWells = selectionOf(store, d.datasets, d.hasMask);
    d.options.Sensitive = d.header.extraSensitive ? 1 : 0;
    d.firmwareVersion = store.value(kRootKey + QStringLiteral(".firmware.version.string"));
    d.programVersion = store.value(kRootKey + QStringLiteral(".user-application.version.string"));
    for (Dataset& set : d.datasets)
        for (int w = 0; w < kWellCount; ++w)
            set.wells[w].status = wellStatus(set.wells[w].raw, d.selected(w), true);
}

}  // namespace

PlateFileRead readPlateFile(const QString& path, const QString& shownName) {
    const QString name = shownName.isEmpty() ? path : shownName;
    PlateFileRead read;
    QByteArray bytes;
    QString reason;
    KeyStore store;
    ParseFacts facts;
    if (!readRegularFile(path, kMaxDataFileBytes, bytes, &reason) ||
        !parseDataBytes(store, bytes, false, &reason, &facts)) {
        read.message = kCantOpen + u'\n' + name + QStringLiteral(": ") + reason;
        return read;
    }
    read.parsed = true;
    if (!holdsDataFormat(store, facts.unclosedPath)) {
        read.message = kCantOpen + u'\n' + name +
                       QStringLiteral(
                           ": it is not a Vantorix data file (it holds none of the "
                           "data format's elements)");
        read.entries = store.takeEntries();
        return read;
    }
    read.ok = true;
    loadDocumentFromStore(store, read);
    describeDocument(store, read.document);
    if (!facts.unclosedPath.isEmpty())
        read.notices << QStringLiteral(
            "The file ends early (cut off while it was written or copied?); what it holds was "
            "loaded.");
    read.message = read.notices.join(u'\n');
    read.entries = store.takeEntries();
    return read;
}

}  // namespace vantorix
