// The About box: its texts, its picture and icon, and a fresh box for every showing.
#include "frame/frmNewAbout.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/GuiDialogEntries.h"
#include "measurement/GuiDesktopUnderTest.h"
#include "options/GuiDialogChecks.h"

namespace vantorix {
namespace {

QIcon someIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(40, 120, 200));
    return QIcon(pixmap);
}

QString label(const QWidget& box, const char* name) {
    const QLabel* l = box.findChild<QLabel*>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

TEST(frmNewAbout, ShowsNameVersionAndNotice) {
    frmNewAbout box(someIcon(), nullptr, ProgramVersion{10, 0, 12});
    EXPECT_EQ(label(box, "lblTitle2"), "Version 10.0.12");
    EXPECT_EQ(label(box, "lblTitle1"), "The Vantorix (tm)");
    EXPECT_EQ(label(box, "lblTitle3"), "Copyright (c) Orvexa Labs. All rights reserved.");
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.findChild<QPushButton*>("cmdOK")->text(), "&OK");
    EXPECT_FALSE(box.findChild<QLabel*>("imgIcon")->pixmap().isNull());
    EXPECT_EQ(box.findChild<QWidget*>("Picture1")->size(), QSize(350, 200));
    EXPECT_EQ(box.findChild<QLabel*>("lblTitle1")->font().family(), "Times New Roman");
}

TEST(frmNewAbout, LooksFinished) {
    frmNewAbout box(someIcon());
    box.show();
    test::expectNothingClipped(box);
    // The three lines and the button do not overlap one another.
    const QStringList names{"lblTitle1", "lblTitle2", "lblTitle3", "cmdOK"};
    for (int i = 0; i < names.size(); ++i)
        for (int j = i + 1; j < names.size(); ++j)
            EXPECT_FALSE(box.findChild<QWidget*>(names[i])->geometry().intersects(
                box.findChild<QWidget*>(names[j])->geometry()))
                << names[i].toStdString() << " / " << names[j].toStdString();
    test::saveShot(box, QStringLiteral("frmNewAbout"));
}

TEST(frmNewAbout, TheMenuShowsAFreshBoxThatOkDestroys) {
    test::DesktopUnderTest d;
    test::RecordingNotices notices;
    d.frame->setWindowIcon(someIcon());
    new GuiDialogEntries(*d.frame, d.settings, notices, [] { return std::vector<SerialDevice>{}; });
    QAction* about = d.control<QAction>("mnuHelpNewAbout");
    ASSERT_TRUE(about->isEnabled());

    about->trigger();
    QPointer<frmNewAbout> first = d.frame->findChild<frmNewAbout*>();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->findChild<QLabel*>("imgIcon")->pixmap().isNull());
    QTest::mouseClick(first->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    about->trigger();
    QPointer<frmNewAbout> second = d.frame->findChild<frmNewAbout*>();
    ASSERT_TRUE(second);
    second->close();  // the close box destroys it as well
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
}

}  // namespace
}  // namespace vantorix
