#include <gtest/gtest.h>

#include <QStringList>
#include <functional>

#include "plate/DocumentSession.h"

namespace vantorix {
namespace {

// Each step acts on one session; the windows repaint on these signals, so a missing one leaves
// a stale view and a repeated one redraws for nothing.
TEST(DocumentSession, SignalsOnlyRealChanges) {
    DocumentSession session;
    QStringList seen;
    QObject::connect(&session, &DocumentSession::documentReplaced,
                     [&] { seen << QStringLiteral("replaced"); });
    QObject::connect(&session, &DocumentSession::readingsChanged,
                     [&] { seen << QStringLiteral("readings"); });
    QObject::connect(&session, &DocumentSession::shownSetChanged,
                     [&](int set) { seen << QStringLiteral("shown %1").arg(set); });
    QObject::connect(&session, &DocumentSession::savedChanged,
                     [&](bool saved) { seen << QStringLiteral("saved %1").arg(saved); });
    QObject::connect(&session, &DocumentSession::pathChanged,
                     [&](const QString& path) { seen << QStringLiteral("path ") + path; });
    PlateDocument other;
    other.firmwareVersion = QStringLiteral("V2.04");
    const struct {
        const char* action;
        std::function<void()> act;
        QStringList expected;
    } steps[] = {
        {"same document", [&] { session.replaceDocument(PlateDocument{}); }, {}},
        {"other document", [&] { session.replaceDocument(other); }, {"replaced"}},
        {"reading", [&] { session.setReading(2, 8, 12, 1234.0, 1.5); }, {"readings"}},
        {"same reading", [&] { session.setReading(2, 8, 12, 1234.0, 1.5); }, {}},
        {"clear read sets", [&] { session.clearSets(2); }, {"readings"}},
        {"clear empty sets", [&] { session.clearSets(2); }, {}},
        {"header text", [&] { session.setHeaderText(&PlateHeader::test, "ATP"); }, {}},
        {"shown set", [&] { session.setShownSet(3); }, {"shown 3"}},
        {"same shown set", [&] { session.setShownSet(3); }, {}},
        {"saved", [&] { session.setSaved(true); }, {"saved 1"}},
        {"still saved", [&] { session.setSaved(true); }, {}},
        {"path", [&] { session.setPath("/d/a.ovd"); }, {"path /d/a.ovd"}},
        {"same path", [&] { session.setPath("/d/a.ovd"); }, {}},
        {"flags and range",
         [&] {
             session.setHasData(true);
             session.setCanEdit(true);
             session.setSetCount(3);
             session.setSetRange(1, 3);
         },
         {}},
    };
    for (const auto& step : steps) {
        seen.clear();
        step.act();
        EXPECT_EQ(seen, step.expected) << step.action;
    }
    EXPECT_EQ(session.document().reading(2, 8, 12).raw, std::nullopt);
    EXPECT_EQ(session.document().header.test, "ATP");
    EXPECT_EQ(session.document().firmwareVersion, "V2.04");
    EXPECT_EQ(session.lastSet(), 3);
}

}  // namespace
}  // namespace vantorix
