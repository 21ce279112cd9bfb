#include "files/OvdLoader.h"

#include <algorithm>

#include "files/KeyStore.h"
#include "kernel/DataPaths.h"
#include "kernel/Text.h"
#include "plate/DocumentSession.h"
#include "plate/ReadingText.h"

namespace vantorix {

namespace {

// Walks a field list token by token without copying.
class TokenReader {
  public:
    explicit TokenReader(QStringView text) : text_(text) {}
    QStringView next() {
        while (pos_ < text_.size() && text_[pos_] == u' ') ++pos_;
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_[pos_] != u' ') ++pos_;
        return text_.mid(start, pos_ - start);
    }

  private:
    QStringView text_;
    qsizetype pos_ = 0;
};

QString setNumber(int set) {
    return QString::number(set).rightJustified(3, u'0');
}

QString dataKey(const QString& formatId, int set) {
    if (formatId == u"B") return kRootKey + QStringLiteral(".data.set-") + setNumber(set);
    if (formatId == u"C") return kRootKey + QStringLiteral(".data.set-data-") + setNumber(set);
    return {};
}

QString timeKey(const QString& formatId, int set) {
    if (formatId == u"C") return kRootKey + QStringLiteral(".data.set-timestamp-") + setNumber(set);
    return {};
}

// Fills the readings (or the times) of the set from the list under `key`; a missing list
// leaves them none. Returns how many of the tokens are no number at all.
int fillSet(Dataset& set, const QString& key, const KeyStore& store, bool times) {
    QString list;
    if (key.isEmpty() || !store.GetKeyValue(key, list)) return 0;
    TokenReader tokens(list);
    int notNumbers = 0;
    for (WellReading& well : set.wells) {
        const QStringView token = tokens.next();
        if (times) {
            well.seconds = secondsFromText(token);
            continue;
        }
        well.raw = readingFromText(token);
        if (!well.raw && !token.isEmpty() && !isNumeric(token)) ++notNumbers;
    }
    return notNumbers;
}

// A hand-edited value ("17O194", "nan") is shown as no reading; the user hears of it once.
QString notNumbersNotice(int count) {
    return count == 1 ? QStringLiteral(
                            "The file holds 1 reading that is not a number; it is shown as no "
                            "reading.")
                      : QStringLiteral(
                            "The file holds %1 readings that are not numbers; they are shown as "
                            "no reading.")
                            .arg(count);
}

// The highest set number among the data lists the store holds (0 when none), found in one
// pass; -1 when the format has no data lists to count.
int highestSetHeld(const KeyStore& store, const QString& formatId) {
    const QString zero = dataKey(formatId, 0);  // the key of a set "000"
    if (zero.isEmpty()) return -1;
    const QString prefix = zero.chopped(3);
    int highest = 0;
    for (const QString& e : store.entries()) {
        if (!e.startsWith(prefix)) continue;
        const qsizetype eq = e.indexOf(u'=', prefix.size());
        bool ok = false;
        const int n = QStringView(e).mid(prefix.size(), eq - prefix.size()).toInt(&ok);
        if (ok && eq > prefix.size() && n > highest) highest = n;
    }
    return highest;
}

// How many sets to load, and what to tell the user when the file holds fewer or more sets
// than a document holds or than it declares.
int decideSetCount(PlateFileRead& r, const QString& declaredText, int declared, int held) {
    const QString d = declaredText.trimmed();
    int sets = std::clamp(declared, 0, kMaxSets);
    if (held >= 0 && held < sets) {
        sets = held;
        r.notices << QStringLiteral("The file declares %1 sets but holds %2.").arg(d).arg(held);
    } else if (declared > kMaxSets) {
        r.truncated = true;
        const QString holds = held >= 0 && held < declared
                                  ? QStringLiteral("declares %1 sets and holds %2").arg(d).arg(held)
                                  : QStringLiteral("holds %1 sets").arg(d);
        r.notices << QStringLiteral("The file %1; only sets 1 to %2 were loaded.")
                         .arg(holds)
                         .arg(kMaxSets);
    }
    return sets;
}

}  // namespace

void loadDocumentFromStore(const KeyStore& store, PlateFileRead& read) {
    PlateDocument& d = read.document;
    d.formatId = store.value(kRootKey + QStringLiteral(".user-application.format-id"));
    const QString setsText = store.value(kDataSetsKey);
    const int declared = toInt16(leadingNumber(setsText));
    const int sets = decideSetCount(read, setsText, declared, highestSetHeld(store, d.formatId));
    d.datasets.assign(size_t(sets), Dataset{});
    int notNumbers = 0;
    for (int set = 1; set <= sets; ++set) {
        Dataset& data = d.datasets[size_t(set - 1)];
        notNumbers += fillSet(data, dataKey(d.formatId, set), store, false);
        fillSet(data, timeKey(d.formatId, set), store, true);
    }
    if (notNumbers > 0) read.notices << notNumbersNotice(notNumbers);
}

LoadResult LoadDataFile(PlateDocument& d, const QString& dataFolder, const QString& fileName) {
    PlateFileRead read = readPlateFile(resolveDataPath(dataFolder, fileName), fileName);
    LoadResult r{read.ok,
                 read.parsed,
                 read.message,
                 read.notices,
                 read.document.setCount(),
                 read.truncated,
                 std::move(read.entries)};
    if (!r.ok) return r;
    d = std::move(read.document);
    return r;
}

LoadResult LoadDataFile(DocumentSession& session, const QString& dataFolder,
                        const QString& fileName) {
    PlateDocument d;
    LoadResult r = LoadDataFile(d, dataFolder, fileName);
    if (r.ok) session.replaceDocument(std::move(d));
    return r;
}

}  // namespace vantorix
