#include "files/OvdLayout.h"

#include "files/OvdStatistics.h"
#include "plate/ReadingText.h"

namespace vantorix {

namespace {

const QString kEol = QStringLiteral("\r\n");
const QString kAppName = QStringLiteral("The Vantorix");

// Lines 5-14: the maker's notice and contacts.
const char* const kMakerLines[] = {
    "Copyright (c) Orvexa Labs. All rights reserved.",
    "http://www.orvexa-labs.example",
    "http://support.orvexa-labs.example",
    "http://downloads.orvexa-labs.example",
    "Phone: +1 202 555 0142",
    "Fax: +1 202 555 0143",
    "Sales: sales@orvexa-labs.example",
    "Application support: appsupport@orvexa-labs.example",
    "Instrument repair: repair@orvexa-labs.example",
    "Orvexa Labs, 12 Harbour Road, Port Elvan PE1 0AA",
};

QString threeDigits(int n) {
    return QString::number(n % 1000).rightJustified(3, u'0');
}

QString element(int indent, const QString& name, const QString& value) {
    return QString(indent, u' ') + u'<' + name + u'>' + value + QStringLiteral("</") + name + u'>' +
           kEol;
}

QString line(int indent, const QString& text) {
    return QString(indent, u' ') + text + kEol;
}

QString preamble() {
    QString t = line(0, QStringLiteral("<?xml version=\"1.0\" ?>")) + kEol;
    t += line(0, QStringLiteral("<!-- The Vantorix (tm)-->")) + kEol;
    for (const char* text : kMakerLines)
        t += line(0, QStringLiteral("<!-- ") + QLatin1String(text) + QStringLiteral(" -->"));
    return t + kEol;
}

QString applicationBlock(const ProgramVersion& v) {
    QString t = line(0, QStringLiteral("<user-application>"));
    t += element(4, QStringLiteral("name"), kAppName);
    t += element(4, QStringLiteral("format-id"), QStringLiteral("C"));
    t += line(4, QStringLiteral("<version>"));
    t += element(8, QStringLiteral("string"), v.text());
    t += element(8, QStringLiteral("major"), QString::number(v.major));
    t += element(8, QStringLiteral("minor"), QString::number(v.minor));
    t += element(8, QStringLiteral("revision"), QString::number(v.revision));
    t += line(4, QStringLiteral("</version>"));
    return t + line(0, QStringLiteral("</user-application>")) + kEol;
}

QString firmwareBlock(const PlateDocument& d) {
    QString t = line(0, QStringLiteral("<firmware>"));
    t += element(4, QStringLiteral("name"), kAppName);
    t += element(4, QStringLiteral("format-id"), QStringLiteral("A"));
    t += line(4, QStringLiteral("<version>"));
    t += element(8, QStringLiteral("string"), ovdValueText(d.firmwareVersion));
    t += line(4, QStringLiteral("</version>"));
    return t + line(0, QStringLiteral("</firmware>")) + kEol;
}

QString headerBlock(const PlateHeader& h, const QDateTime& now) {
    QString t = line(0, QStringLiteral("<data-header>"));
    t += element(4, QStringLiteral("date"), ovdDateText(now.date()));
    t += element(4, QStringLiteral("time"), ovdTimeText(now.time()));
    t += element(4, QStringLiteral("test"), ovdValueText(h.test));
    t += element(4, QStringLiteral("operator"), ovdValueText(h.operatorName));
    t += element(4, QStringLiteral("plate-no"), ovdValueText(h.plateNo));
    t += element(4, QStringLiteral("notes"), ovdValueText(h.notes));
    t += element(4, QStringLiteral("extra-sensitivity-option"),
                 h.extraSensitive ? QStringLiteral("On") : QStringLiteral("Off"));
    return t + line(0, QStringLiteral("</data-header>")) + kEol;
}

QString maskBlock(const RunOptions& options) {
    QString t = line(4, QStringLiteral("<mask>"));
    for (int r = 0; r < kPlateRows; ++r) {
        QString bits;
        for (int c = 0; c < kPlateColumns; ++c) bits += options.SelectedWells[r][c] ? u'1' : u'0';
        t += element(11, QStringLiteral("row-") + threeDigits(r), bits);
    }
    return t + line(4, QStringLiteral("</mask>"));
}

// 96 fields, each followed by one space; unselected wells read "-1".
QString setFields(const PlateDocument& d, const Dataset& set, bool times) {
    QString t;
    t.reserve(kWellCount * 8);
    for (int w = 0; w < kWellCount; ++w) {
        const WellReading& well = set.wells[w];
        if (d.selected(w))
            t += readingToText(times ? well.seconds : well.raw);
        else
            t += QStringLiteral("-1");
        t += u' ';
    }
    return t;
}

QString setLines(const PlateDocument& d) {
    QString t;
    for (int set = 1; set <= d.setCount(); ++set) {
        const QString nnn = threeDigits(set);
        const Dataset& data = d.datasets[size_t(set - 1)];
        t += element(4, QStringLiteral("set-data-") + nnn, setFields(d, data, false));
        t += element(4, QStringLiteral("set-timestamp-") + nnn, setFields(d, data, true));
    }
    return t;
}

QString dataBlock(const PlateDocument& d) {
    const OvdStatistics stats = computeStatistics(d);
    QString t = line(0, QStringLiteral("<data>"));
    t += element(4, QStringLiteral("min-value"), stats.minText());
    t += element(4, QStringLiteral("max-value"), stats.maxText());
    t += element(4, QStringLiteral("avg-value"), stats.avgText());
    t += maskBlock(d.options);
    t += element(4, QStringLiteral("sets"), QString::number(d.setCount()));
    t += kEol;
    t += setLines(d);
    return t + line(0, QStringLiteral("</data>")) + kEol;
}

}  // namespace

QString ovdDateText(const QDate& date) {
    return QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
}

QString ovdTimeText(const QTime& time) {
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour12)
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString ovdValueText(const QString& text) {
    QString clean = text;
    return clean.remove(u'<');
}

QString ovdFileText(const PlateDocument& d, const QDateTime& now, const ProgramVersion& v) {
    QString t = preamble();
    t += line(0, QStringLiteral("<orvexa-labs-format>"));
    t += element(0, QStringLiteral("format-id"), QStringLiteral("A")) + kEol;
    t += applicationBlock(v);
    t += firmwareBlock(d);
    t += headerBlock(d.header, now);
    t += dataBlock(d);
    return t + line(0, QStringLiteral("</orvexa-labs-format>"));
}

}  // namespace vantorix
