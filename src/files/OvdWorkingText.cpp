#include "files/OvdWorkingText.h"

namespace vantorix {

namespace {

// Only spaces are trimmed: tabs and line feeds are part of the text.
QStringView trimSpaces(QStringView line) {
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line[begin] == u' ') ++begin;
    while (end > begin && line[end - 1] == u' ') --end;
    return line.mid(begin, end - begin);
}

bool endsReading(QStringView line, bool headerOnly) {
    if (line == u"<data-io>") return true;
    return headerOnly && line.contains(u"<set-");
}

}  // namespace

QString ovdWorkingText(QStringView fileText, bool headerOnly) {
    QString text;
    text.reserve(fileText.size());
    qsizetype start = 0;
    const qsizetype n = fileText.size();
    while (start < n) {
        qsizetype end = fileText.indexOf(u'\r', start);
        if (end < 0) end = n;
        const QStringView line = trimSpaces(fileText.mid(start, end - start));
        text += line;
        if (endsReading(line, headerOnly)) break;
        start = end + 1;
        if (start < n && fileText[start] == u'\n') ++start;
    }
    return text;
}

}  // namespace vantorix
