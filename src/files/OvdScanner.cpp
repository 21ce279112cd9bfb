#include "files/OvdScanner.h"

#include "files/KeyStore.h"

namespace vantorix {

namespace {

void setReason(QString* reason, const QString& text) {
    if (reason) *reason = text;
}

QStringView lastElement(const QString& path) {
    return QStringView(path).mid(path.lastIndexOf(u'.') + 1);
}

// Appends the closed element's entry, then checks that the end tag names the open element.
// The entry goes in before the check, so a failing file keeps its mismatching entry.
bool closeElement(QString& path, const QString& value, QStringView name, KeyStore& store,
                  QString* reason) {
    if (!store.append(path + u'=' + value)) {
        setReason(reason, QStringLiteral("the file holds more than %1 elements, more than a "
                                         "document can have")
                              .arg(kMaxKeyStoreEntries));
        return false;
    }
    // The tail comparison lets "</b>" close "<ab>", as files have always been read; a name
    // as long as the whole path has no "." before it and closes nothing.
    if (name.size() + 1 > path.size() || !QStringView(path).endsWith(name)) {
        const QString open =
            path.isEmpty() ? QStringLiteral("no element is open")
                           : QStringLiteral("the open element is <%1>").arg(lastElement(path));
        setReason(reason, QStringLiteral("end tag </%1> does not match: %2").arg(name, open));
        return false;
    }
    path.chop(name.size() + 1);
    return true;
}

// Every entry holds its whole path, so a bound on the path bounds each entry, and with the
// bound on the entry count, the store: deep nesting can no longer cost memory that grows with
// the square of the file's size.
bool openElement(QString& path, QStringView name, QString* reason) {
    if (path.size() + 1 + name.size() > kMaxElementPath_chars) {
        setReason(reason, QStringLiteral("its elements are nested too deeply (an element's path "
                                         "is longer than %1 characters)")
                              .arg(kMaxElementPath_chars));
        return false;
    }
    path += u'.';
    path += name;
    return true;
}

}  // namespace

bool scanOvdTags(QStringView text, KeyStore& store, QString* reason, QString* unclosedPath) {
    store.ClearKeyStore();
    QString path;
    QString value;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text[i] != u'<') {
            qsizetype next = text.indexOf(u'<', i);
            if (next < 0) next = n;
            value += text.mid(i, next - i);
            i = next;
            continue;
        }
        const QChar second = i + 1 < n ? text[i + 1] : QChar();
        if (second == u'?') {
            // Only the "<" is dropped; the declaration's text lands in the value, which the
            // next tag empties.
            ++i;
            continue;
        }
        if (second == u'!') {
            // Comments and declarations end at their first ">", not at "-->".
            const qsizetype close = text.indexOf(u'>', i);
            value.resize(0);  // keeps the buffer for the next value
            if (close < 0) break;
            i = close + 1;
            continue;
        }
        const bool endTag = second == u'/';
        const qsizetype nameStart = i + (endTag ? 2 : 1);
        const qsizetype close = text.indexOf(u'>', nameStart);
        const QStringView name = text.mid(nameStart, (close < 0 ? n : close) - nameStart);
        if (endTag) {
            if (!closeElement(path, value, name, store, reason)) return false;
        } else if (!openElement(path, name, reason)) {
            return false;
        }
        value.resize(0);  // keeps the buffer for the next value
        if (close < 0) break;
        i = close + 1;
    }
    if (unclosedPath) *unclosedPath = path;
    return true;
}

}  // namespace vantorix
