// The firmware dialog through its named controls: the codes, Done, the service panel's
// alternating "&OK", the messages.
#include "firmware/frmDownloadNewFirmware.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "FirmwareTestSupport.h"
#include "firmware/FirmwareTexts.h"
#include "kernel/SettingsStore.h"
#include "measurement/GuiScriptedDialogs.h"
#include "simulator/PairHarness.h"

using namespace vantorix;
using namespace vantorix::test;

namespace {

struct DialogUnderTest {
    DialogUnderTest()
        : dialog(pair.port(), pair.scheduler(), dialogs, settings,
                 programImageSource(dir.path(), dir.path())) {
        dialog.showDialog();
    }
    template <class T>
    T* child(const char* name) {
        T* w = dialog.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void typeCode(const QString& code) {
        QTest::keyClicks(child<QLineEdit>("Text1"), code);
        QTest::keyClick(child<QLineEdit>("Text1"), Qt::Key_Return);
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    bool visible(const char* name) { return child<QWidget>(name)->isVisible(); }

    QTemporaryDir dir;
    sim::PairHarness pair;
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    frmDownloadNewFirmware dialog;
};

}  // namespace

TEST(frmDownloadNewFirmware, CodesOpenTheirPanelsAndAnyOtherTextCloses) {
    struct Case {
        QString code;
        const char* panel;  // nullptr: the dialog closes
    };
    const Case cases[] = {
        {"3094", "frameSendStartCommand"}, {"3061", "Frame1"}, {"1234", nullptr}, {"", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code.toStdString());
        DialogUnderTest t;
        EXPECT_TRUE(t.visible("framePassword"));
        EXPECT_EQ(t.child<QLineEdit>("Text1")->echoMode(), QLineEdit::Password);
        t.typeCode(c.code);
        if (c.panel) {
            EXPECT_TRUE(t.visible(c.panel));
            EXPECT_FALSE(t.visible("framePassword"));
            EXPECT_TRUE(t.child<QLineEdit>("Text1")->text().isEmpty());
            t.click("cmdOK");  // Done on the panel: the password box is empty, so it closes
        }
        EXPECT_FALSE(t.dialog.isVisible());
        EXPECT_TRUE(t.dialogs.asked.empty());  // no reboot message: nothing was started
    }
}

TEST(frmDownloadNewFirmware, AMissingImageIsNamedAndDoneThenAsksForAReboot) {
    DialogUnderTest t;
    t.typeCode("3094");
    EXPECT_FALSE(t.visible("lblRx"));
    EXPECT_FALSE(t.visible("lblPleaseWait"));
    t.click("cmdSendStartCommand");
    EXPECT_EQ(t.dialogs.texts("inform"), QStringList{firmware::missingImageMessage(t.dir.path())});
    EXPECT_EQ(t.child<QPushButton>("cmdSendStartCommand")->text(), "&Start Download");
    t.click("cmdOK");
    EXPECT_EQ(t.dialogs.texts("inform").last(), firmware::kReboot);
    EXPECT_FALSE(t.dialog.isVisible());
}

TEST(frmDownloadNewFirmware, StartDisablesDoneAndCancelEnablesIt) {
    DialogUnderTest t;
    writeImage(t.dir, imageBytes(1000));
    t.typeCode("3094");
    t.click("cmdSendStartCommand");
    t.pair.runFor(200);
    EXPECT_EQ(t.child<QPushButton>("cmdSendStartCommand")->text(), "&Cancel");
    EXPECT_FALSE(t.child<QPushButton>("cmdOK")->isEnabled());
    EXPECT_TRUE(t.visible("lblPleaseWait"));
    EXPECT_EQ(t.child<QLabel>("lblRx")->text(), firmware::kPreparing);
    EXPECT_EQ(t.pair.port().settings(), "9600,n,8,1");
    t.click("cmdSendStartCommand");
    EXPECT_TRUE(t.child<QPushButton>("cmdOK")->isEnabled());
    EXPECT_FALSE(t.visible("lblRx"));
    EXPECT_FALSE(t.pair.port().isOpen());
    t.click("cmdOK");
    EXPECT_EQ(t.dialogs.texts("inform"), QStringList{firmware::kReboot});
}

TEST(frmDownloadNewFirmware, TheServicePanelsOkOpensAndClosesThePortInTurn) {
    DialogUnderTest t;
    t.typeCode("3061");
    for (int press = 0; press < 4; ++press) {
        t.click("Command12");
        t.pair.runFor(200);
        const bool open = press % 2 == 0;
        EXPECT_EQ(t.pair.port().isOpen(), open) << press;
        EXPECT_TRUE(t.child<QPushButton>("cmdOK")->isEnabled());
        EXPECT_EQ(t.pair.port().settings(), open ? "9600,n,8,1" : "2400,n,8,1");
    }
    // Only "Q" and the wake-up CR LFs went out: no transfer was started.
    EXPECT_EQ(t.pair.line().bytes(sim::Direction::ToInstrument), "Q\r\n\r\n\r\nQ\r\n\r\n\r\n");
    t.click("cmdOK");
    EXPECT_TRUE(t.dialogs.asked.empty());  // the service panel clears the started flag
}
