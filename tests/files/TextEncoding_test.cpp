#include "files/TextEncoding.h"

#include <gtest/gtest.h>

using namespace vantorix;

TEST(TextEncoding, Utf8WhenValidElseWindows1252) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"ascii", "plate 7", "plate 7"},
        {"utf-8", "Jos\xc3\xa9 \xe2\x82\xac", u"Jos\u00e9 \u20ac"_qs},
        {"latin letters", "Jos\xe9 M\xfcller", u"Jos\u00e9 M\u00fcller"_qs},
        {"1252 punctuation", "\x80\x85\x91\x92\x93\x94\x96\x97\x99",
         u"\u20ac\u2026\u2018\u2019\u201c\u201d\u2013\u2014\u2122"_qs},
        {"undefined bytes keep their value", "\x81\x8d\x8f\x90\x9d",
         u"\u0081\u008d\u008f\u0090\u009d"_qs},
        {"utf-8 cut at the end", "ok \xc3", u"ok \u00c3"_qs},
        {"overlong utf-8", "\xc0\xaf", u"\u00c0\u00af"_qs},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeDataFileBytes(c.bytes), c.text) << c.name;
}
