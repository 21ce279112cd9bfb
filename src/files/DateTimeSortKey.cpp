#include "files/DateTimeSortKey.h"

namespace vantorix {

namespace {

// The last two characters of "0" + part: "7" -> "07", "2024" -> "24".
QString twoDigits(QStringView part) {
    QString padded = QStringLiteral("0");
    padded += part;
    return padded.right(2);
}

// Hours on the 24-hour clock: 1 PM..11 PM -> 13..23, 12 AM -> 00; anything else unchanged.
QString hours24(const QString& hours, QStringView marker) {
    bool ok = false;
    const int h = hours.toInt(&ok);
    if (!ok) return hours;
    if (marker == u"PM" && h >= 1 && h <= 11) return QString::number(h + 12);
    if (marker == u"AM" && h == 12) return QStringLiteral("00");
    return hours;
}

}  // namespace

QString DateTimeSortKey(const QString& date, const QString& time) {
    const qsizetype d1 = date.indexOf(u'/');
    const qsizetype d2 = d1 < 0 ? -1 : date.indexOf(u'/', d1 + 1);
    const qsizetype t1 = time.indexOf(u':');
    const qsizetype t2 = t1 < 0 ? -1 : time.indexOf(u':', t1 + 1);
    const qsizetype sp = t2 < 0 ? -1 : time.indexOf(u' ', t2 + 1);
    if (d2 < 0 || sp < 0) return {};

    const QStringView dv(date), tv(time);
    const QString month = twoDigits(dv.left(d1));
    const QString day = twoDigits(dv.mid(d1 + 1, d2 - d1 - 1));
    const QString year = twoDigits(dv.mid(d2 + 1));
    const QStringView marker = tv.mid(sp + 1).right(2);
    const QString hours = twoDigits(hours24(twoDigits(tv.left(t1)), marker));
    const QString minutes = twoDigits(tv.mid(t1 + 1, t2 - t1 - 1));
    const QString seconds = twoDigits(tv.mid(t2 + 1, sp - t2 - 1));
    return year + month + day + hours + minutes + seconds;
}

}  // namespace vantorix
