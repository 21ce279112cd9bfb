#include "files/OvdLoader.h"

#include <algorithm>

#include "files/OvdParser.h"
#include "kernel/KeyStore.h"
#include "kernel/ProgramState.h"
#include "kernel/Text.h"

namespace vantorix {

namespace {

const QString kCantOpen = QStringLiteral("Can't open that file");

// Walks a field list the way repeated NextToken calls do, without copying the rest each time.
class TokenReader {
  public:
    explicit TokenReader(QStringView text) : text_(text) {}
    QString next() {
        while (pos_ < text_.size() && text_[pos_] == u' ') ++pos_;
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_[pos_] != u' ') ++pos_;
        return text_.mid(start, pos_ - start).toString();
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

// Fills Value or Time of every well of the set from the list, "-1" when the list is missing.
// Returns how many of the tokens are no number at all.
int fillSet(Readings& readings, int set, const QString& key, const KeyStore& store,
            QString Reading::*field) {
    QString list;
    const bool found = !key.isEmpty() && store.GetKeyValue(key, list);
    TokenReader tokens(list);
    int notNumbers = 0;
    for (int r = 1; r <= kPlateRows; ++r)
        for (int c = 1; c <= kPlateColumns; ++c) {
            QString& text = readings.at(set, r, c).*field;
            text = found ? tokens.next() : QStringLiteral("-1");
            if (!text.isEmpty() && !isNumeric(text)) ++notNumbers;
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

void loadTimes(ProgramState& s, int set) {
    if (s.FileFormatId == u"B") {
        fillSet(s.readings, set, {}, s.keyStore, &Reading::Time);
    } else if (s.FileFormatId == u"C") {
        const QString key = kRootKey + QStringLiteral(".data.set-timestamp-") + setNumber(set);
        fillSet(s.readings, set, key, s.keyStore, &Reading::Time);
    }
    // Any other format: the times stay as they were.
}

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
// than Readings can show or than it declares.
void decideSetCount(LoadResult& r, const QString& declaredText, int declared, int held) {
    const QString d = declaredText.trimmed();
    r.setsLoaded = std::clamp(declared, 0, kMaxSets);
    if (held >= 0 && held < r.setsLoaded) {
        r.setsLoaded = held;
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
}

}  // namespace

LoadResult loadReadingsFromStore(ProgramState& s) {
    s.FileFormatId = s.keyStore.value(kRootKey + QStringLiteral(".user-application.format-id"));
    const QString setsText = s.keyStore.value(kDataSetsKey);
    const int declared = toInt16(leadingNumber(setsText));
    LoadResult result;
    result.ok = true;
    decideSetCount(result, setsText, declared, highestSetHeld(s.keyStore, s.FileFormatId));
    result.message = result.notices.join(u'\n');
    int notNumbers = 0;
    for (int set = 1; set <= result.setsLoaded; ++set) {
        notNumbers +=
            fillSet(s.readings, set, dataKey(s.FileFormatId, set), s.keyStore, &Reading::Value);
        loadTimes(s, set);
    }
    if (notNumbers > 0) {
        result.notices << notNumbersNotice(notNumbers);
        result.message = result.notices.join(u'\n');
    }
    s.CurrentSet = 1;
    return result;
}

LoadResult LoadDataFile(ProgramState& s, const QString& dataFolder, const QString& fileName) {
    QString reason;
    ParseFacts facts;
    if (!ParseDataFile(s.keyStore, dataFolder, false, fileName, &reason, &facts)) {
        LoadResult result;
        result.message = kCantOpen + u'\n' + fileName + QStringLiteral(": ") + reason;
        return result;
    }
    if (!holdsDataFormat(s.keyStore, facts.unclosedPath)) {
        LoadResult result;
        result.parsed = true;
        result.message = kCantOpen + u'\n' + fileName +
                         QStringLiteral(
                             ": it is not a Vantorix data file (it holds none of the "
                             "data format's elements)");
        return result;
    }
    LoadResult result = loadReadingsFromStore(s);
    result.parsed = true;
    if (!facts.unclosedPath.isEmpty()) {
        result.notices << QStringLiteral(
            "The file ends early (cut off while it was written or copied?); what it holds was "
            "loaded.");
        result.message = result.notices.join(u'\n');
    }
    return result;
}

QString NextToken(QString& text) {
    const QStringView rest = QStringView(text);
    qsizetype begin = 0;
    qsizetype end = rest.size();
    while (begin < end && rest[begin] == u' ') ++begin;
    while (end > begin && rest[end - 1] == u' ') --end;
    const qsizetype space = rest.mid(begin, end - begin).indexOf(u' ');
    if (space < 0) {
        QString token = rest.mid(begin, end - begin).toString();
        text.clear();
        return token;
    }
    QString token = rest.mid(begin, space).toString();
    text = rest.mid(begin + space + 1, end - begin - space - 1).toString();
    return token;
}

}  // namespace vantorix
