#include "files/OvdLoader.h"

#include <algorithm>

#include "files/KeyStore.h"
#include "files/OvdParser.h"
#include "frame/ProgramState.h"
#include "frame/Text.h"

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
void fillSet(Readings& readings, int set, const QString& key, const KeyStore& store,
             QString Reading::*field) {
    QString list;
    const bool found = !key.isEmpty() && store.GetKeyValue(key, list);
    TokenReader tokens(list);
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 12; ++c)
            readings.at(set, r, c).*field = found ? tokens.next() : QStringLiteral("-1");
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

}  // namespace

LoadResult loadReadingsFromStore(ProgramState& s, qint64 nowSeconds) {
    s.FileFormatId = s.keyStore.value(kRootKey + QStringLiteral(".user-application.format-id"));
    const QString setsText = s.keyStore.value(kRootKey + QStringLiteral(".data.sets"));
    const int declared = toInt16(leadingNumber(setsText));
    LoadResult result;
    result.ok = true;
    result.setsLoaded = std::clamp(declared, 0, kMaxSets);
    result.truncated = declared > kMaxSets;
    if (result.truncated)
        result.message = QStringLiteral("The file holds %1 sets; only sets 1 to %2 were loaded.")
                             .arg(setsText.trimmed())
                             .arg(kMaxSets);
    for (int set = 1; set <= result.setsLoaded; ++set) {
        fillSet(s.readings, set, dataKey(s.FileFormatId, set), s.keyStore, &Reading::Value);
        s.SilenceTimer = nowSeconds;
        s.LinkActivityTime = nowSeconds;
        loadTimes(s, set);
    }
    s.CurrentSet = 1;
    return result;
}

LoadResult LoadDataFile(ProgramState& s, const QString& fileName, qint64 nowSeconds) {
    QString reason;
    if (!ParseDataFile(s, false, fileName, &reason)) {
        LoadResult result;
        result.message = kCantOpen + u'\n' + fileName + QStringLiteral(": ") + reason;
        return result;
    }
    return loadReadingsFromStore(s, nowSeconds);
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
