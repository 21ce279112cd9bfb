#include "measurement/ReadingDecoder.h"

#include <gtest/gtest.h>

using namespace vantorix;

TEST(ReadingDecoder, DecodesReadingMessages) {
    const struct {
        const char* message;
        int row;
        int column;
        const char* value;
        bool onPlate;
    } cases[] = {
        {"Reading: A, 1 = 12345", 1, 1, "12345", true},
        {"Reading:H,12=99", 8, 12, "99", true},
        {"  Reading:   C ,  7 =   300  ", 3, 7, "300", true},
        {"Plate 1 Reading: B, 10 = 1473001", 2, 10, "1473001", true},
        {"Reading: A, 123 = 5", 1, 12, "5", true},  // only two characters of the column count
        {"Reading: A, 1.6 = 5", 1, 1, "5", true},   // the two characters "1." read as 1
        {"Reading: A, .6 = 5", 1, 1, "5", true},    // ".6" rounds to 1
        {"Reading: D, 3 = ERR", 4, 3, "ERR", true},
        {"Reading: D, 3 = ", 4, 3, "", true},
        {"Reading: I, 1 = 5", 9, 1, "5", false},
        {"Reading: a, 1 = 5", 33, 1, "5", false},
        {"Reading: A, 13 = 5", 1, 13, "5", false},
        {"Reading: A, 0 = 5", 1, 0, "5", false},
        {"Reading: A 1 = 5", 1, 0, "5", false},  // no comma: no column
        {"Reading: = 5", u'=' - u'A' + 1, 0, "5", false},
        {"Reading: A, 1 = 5 = 6", 1, 1, "5 = 6", true},
    };
    for (const auto& c : cases) {
        const auto r = decodeReading(QString::fromLatin1(c.message));
        ASSERT_TRUE(r.has_value()) << c.message;
        EXPECT_EQ(r->row, c.row) << c.message;
        EXPECT_EQ(r->column, c.column) << c.message;
        EXPECT_EQ(r->value, c.value) << c.message;
        EXPECT_EQ(onPlate(*r), c.onPlate) << c.message;
    }
    for (const char* none :
         {"", "Ready", "reading: A, 1 = 5", "Reading: A, 1", "Firmware version 2"})
        EXPECT_FALSE(decodeReading(QString::fromLatin1(none)).has_value()) << none;
}

TEST(ReadingDecoder, MessageLineShowsTheReadingLessTheDarkOffset) {
    const struct {
        const char* message;
        const char* value;
        const char* line;
    } cases[] = {
        {"Reading: A, 1 = 12345", "12345", "Reading: A, 1 = 12065.0"},
        {"Reading: A, 1 = 100", "100", "Reading: A, 1 = 0"},
        {"Reading: A, 1 = 280", "280", "Reading: A, 1 = 0.0"},
        {"Reading: A, 1 = 279.9", "279.9", "Reading: A, 1 = 0"},
        {"Reading: A, 1 = 300.25", "300.25", "Reading: A, 1 = 20.3"},
        {"Reading: B, 2=1473001", "1473001", "Reading: B, 2= 1472721.0"},
        {"Reading: B, 2 = ERR", "ERR", "Reading: B, 2 = 0"},
        {"Set 1 = ok Reading: C, 3 = 500 ", "500", "Set 1 = ok Reading: C, 3 = 220.0"},
        {"Ready", "", "Ready"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readingMessageLine(QString::fromLatin1(c.message), QString::fromLatin1(c.value)),
                  c.line)
            << c.message;
    // A reading off the plate is not kept: its line says so and shows the value as sent.
    EXPECT_EQ(ignoredReadingLine("Reading: J, 1 = 846 "),
              "Reading: J, 1 = 846 - ignored, not a well of the plate");
    EXPECT_EQ(ignoredReadingLine("Reading: a, 12 = 5"),
              "Reading: a, 12 = 5 - ignored, not a well of the plate");
}

TEST(ReadingDecoder, FirmwareVersion) {
    EXPECT_EQ(firmwareVersionOf("Firmware version  3.14 "), "3.14");
    EXPECT_EQ(firmwareVersionOf("Vantorix Firmware version V2.0b"), "V2.0b");
    EXPECT_EQ(firmwareVersionOf("Firmware version"), "");
    EXPECT_FALSE(firmwareVersionOf("firmware version 3").has_value());
    EXPECT_FALSE(firmwareVersionOf("Reading: A, 1 = 5").has_value());
}
