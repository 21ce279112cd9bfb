// Data files written by hand from the documented layout, and helpers shared by the file tests.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "files/KeyStore.h"
#include "support/TestSupport.h"  // readable QString values in failure messages

namespace vantorix::test {

inline QStringList entriesOf(const KeyStore& store) {
    return QStringList(store.entries().begin(), store.entries().end());
}

// n space-separated fields, each followed by one space: first, first+1, ...
inline QByteArray fieldList(int first, int n = 96) {
    QByteArray list;
    for (int i = 0; i < n; ++i) list += QByteArray::number(first + i) + ' ';
    return list;
}

// A format "C" file with two sets whose second time list is missing, CR LF line ends.
inline QByteArray handWrittenC() {
    QByteArray t =
        "<?xml version=\"1.0\" ?>\r\n"
        "\r\n"
        "<!-- The Vantorix (tm)-->\r\n"
        "<!-- a notice -->\r\n"
        "\r\n"
        "<orvexa-labs-format>\r\n"
        "<format-id>A</format-id>\r\n"
        "<user-application>\r\n"
        "    <name>The Vantorix</name>\r\n"
        "    <format-id>C</format-id>\r\n"
        "</user-application>\r\n"
        "<data-header>\r\n"
        "    <operator>Ana</operator>\r\n"
        "</data-header>\r\n"
        "<data>\r\n"
        "    <sets>2</sets>\r\n"
        "    <set-data-001>" +
        fieldList(1000) +
        "</set-data-001>\r\n"
        "    <set-timestamp-001>" +
        fieldList(0) +
        "</set-timestamp-001>\r\n"
        "    <set-data-002>" +
        fieldList(2000) +
        "</set-data-002>\r\n"
        "</data>\r\n"
        "\r\n"
        "</orvexa-labs-format>\r\n";
    return t;
}

// The older layout: "set-NNN" lists and no times.
inline QByteArray handWrittenB() {
    return "<orvexa-labs-format>\r\n"
           "<format-id>A</format-id>\r\n"
           "<user-application><name>The Vantorix</name><format-id>B</format-id>"
           "</user-application>\r\n"
           "<data>\r\n"
           "<sets>1</sets>\r\n"
           "<set-001>" +
           fieldList(500) +
           "</set-001>\r\n"
           "</data>\r\n"
           "</orvexa-labs-format>\r\n";
}

}  // namespace vantorix::test
