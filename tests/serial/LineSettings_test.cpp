#include "serial/LineSettings.h"

#include <gtest/gtest.h>

using namespace vantorix;

TEST(LineSettings, ParseSelectsMatchingFieldsAndLeavesTheRest) {
    // Start from 1200,O,5,1.5 so that every "left as it was" is visible.
    const LineSettings start{0, 1, 0, 1};
    const struct {
        const char* text;
        const char* composed;
    } cases[] = {
        {"9600,e,7,2", "9600,E,7,2"},
        {"2400,n,8,1", "2400,N,8,1"},
        {"2400,N,8,1", "2400,N,8,1"},
        {"4800,m,6,1.5", "4800,M,6,1.5"},
        {"2400,s,8,1", "2400,S,8,1"},
        {"2400,x,8,1", "2400,O,8,1"},      // unknown parity letter: parity kept
        {"19200,n,8,1", "1200,N,8,1"},     // unknown baud rate: baud kept
        {"2400,n,9,1", "2400,N,5,1"},      // unknown word length kept
        {"2400,n,8,3", "2400,N,8,1.5"},    // unknown stop bits kept
        {"2400,none,8,1", "2400,N,8,1"},   // the parity field's first letter counts
        {"2400,n,78,2", "2400,N,7,2"},     // so does the word length's first character
        {"2400,n,8,1,x", "2400,N,8,1.5"},  // stop bits are all that follows the third comma
        {"", "1200,O,5,1.5"},
        {"9600", "9600,O,5,1.5"},  // fewer than three commas: what is there is parsed
        {"9600,e", "9600,E,5,1.5"},
        {"9600,e,7", "9600,E,7,1.5"},
        {",,,", "1200,O,5,1.5"},
    };
    for (const auto& c : cases) {
        LineSettings s = start;
        s.parse(QString::fromLatin1(c.text));
        EXPECT_EQ(s.compose(), QLatin1String(c.composed)) << c.text;
    }
}

TEST(LineSettings, FreshSelectionAndQtValues) {
    EXPECT_EQ(LineSettings{}.compose(), "9600,N,8,1");
    const LineSettings line = LineSettings::fromString(u"2400,n,8,1");
    EXPECT_EQ(line.baudRate(), 2400);
    EXPECT_EQ(line.parity(), QSerialPort::NoParity);
    EXPECT_EQ(line.dataBits(), QSerialPort::Data8);
    EXPECT_EQ(line.stopBits(), QSerialPort::OneStop);
    const LineSettings other = LineSettings::fromString(u"1200,m,5,1.5");
    EXPECT_EQ(other.baudRate(), 1200);
    EXPECT_EQ(other.parity(), QSerialPort::MarkParity);
    EXPECT_EQ(other.dataBits(), QSerialPort::Data5);
    EXPECT_EQ(other.stopBits(), QSerialPort::OneAndHalfStop);
}
