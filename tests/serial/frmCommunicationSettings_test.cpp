// The communication settings dialog: the line-settings string it reads and composes, the port
// and device choice, and what Settings > Communications applies and stores.
#include "serial/frmCommunicationSettings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <optional>

#include "app/GuiDialogEntries.h"
#include "frame/frmMain.h"
#include "kernel/DataPaths.h"
#include "kernel/SettingsStore.h"
#include "measurement/GuiScriptedDialogs.h"
#include "options/GuiDialogChecks.h"
#include "plate/DocumentSession.h"
#include "serial/PseudoTerminal.h"
#include "simulator/PairHarness.h"

namespace vantorix {
namespace {

using test::Pty;
using test::RecordingNotices;

const std::vector<SerialDevice> kDevices{{"/dev/ttyS0", "", "", ""},
                                         {"/dev/ttyUSB0", "USB-Serial Controller", "", ""}};

struct Dialog {
    sim::PairHarness pair;
    RecordingNotices notices;
    std::optional<frmCommunicationSettings> dialog;

    explicit Dialog(const QString& settings = "2400,n,8,1", int number = 1, bool burst = false) {
        pair.port().setSettings(settings);
        pair.port().setPortNumber(number);
        dialog.emplace(pair.port(), burst, notices, [] { return kDevices; });
    }
    template <typename T>
    T* control(const QString& name) {
        T* c = dialog->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }
    bool checked(const QString& name) { return control<QRadioButton>(name)->isChecked(); }
};

TEST(frmCommunicationSettings, ReadsAndComposesTheLineSettings) {
    struct Case {
        const char* given;
        const char* composed;
        const char* selected;  // the choices shown selected, by name
    };
    const Case cases[] = {
        {"2400,n,8,1", "2400,N,8,1", "optBaudRate1 optParity4 optWordLength3 optStopBits0"},
        {"9600,e,7,2", "9600,E,7,2", "optBaudRate3 optParity0 optWordLength2 optStopBits2"},
        // Fields that match no choice leave the dialog's fresh selection (9600,N,8,1); the
        // parsing itself is the line settings' own.
        {"300,x,9,3", "9600,N,8,1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        Dialog d(c.given);
        EXPECT_EQ(d.dialog->Settings(), c.composed);
        for (const QString& name : QString(c.selected).split(' ', Qt::SkipEmptyParts))
            EXPECT_TRUE(d.checked(name)) << name.toStdString();
    }
    // A later unmatched field keeps what was selected before, not the fresh choice.
    Dialog d("9600,e,7,2");
    d.dialog->setSettings("2400,x,8,1");
    EXPECT_EQ(d.dialog->Settings(), "2400,E,8,1");
}

TEST(frmCommunicationSettings, PortNumberAndBurstModeProperties) {
    Dialog d("2400,n,8,1", 3, true);
    EXPECT_EQ(d.dialog->comPort(), 3);
    EXPECT_TRUE(d.dialog->BurstMode());
    for (qint16 ignored : {0, 5, -1}) {
        d.dialog->setComPort(ignored);
        EXPECT_EQ(d.dialog->comPort(), 3);
    }
    d.dialog->setComPort(4);
    EXPECT_TRUE(d.checked("optComPort4"));
    d.dialog->setBurstMode(false);
    EXPECT_FALSE(d.control<QCheckBox>("chkBurstMode")->isChecked());
    // A port number the dialog does not offer leaves the fresh "COM 2".
    Dialog other("2400,n,8,1", 7);
    EXPECT_EQ(other.dialog->comPort(), 2);
}

TEST(frmCommunicationSettings, ShowsOnlyThePortChoice) {
    Dialog d;
    d.dialog->ShowForm({});
    for (const char* hidden :
         {"fraBaudRate", "fraParity", "fraWordLength", "fraStopBits", "fraAdvanced"})
        EXPECT_FALSE(d.control<QGroupBox>(hidden)->isVisibleTo(&*d.dialog)) << hidden;
    EXPECT_TRUE(d.control<QGroupBox>("fraBaudRate")->isEnabled());
    for (const char* disabled : {"fraParity", "fraWordLength", "fraStopBits"})
        EXPECT_FALSE(d.control<QGroupBox>(disabled)->isEnabled()) << disabled;
    EXPECT_TRUE(d.control<QGroupBox>("fraComPort")->isVisible());
    EXPECT_EQ(d.dialog->windowTitle(), "Communication Settings");
    EXPECT_EQ(d.control<QComboBox>("cboPortName")->count(), 2);
    test::expectNothingClipped(*d.dialog);
    test::saveShot(*d.dialog, QStringLiteral("frmCommunicationSettings"));
    d.dialog->setPortName("/dev/ttyUSB0");
    EXPECT_EQ(d.control<QLabel>("lblPortDescription")->text(), "USB-Serial Controller");
    EXPECT_FALSE(d.control<QRadioButton>("optComPort1")->isEnabled());
    test::expectNothingClipped(*d.dialog);
    test::saveShot(*d.dialog, QStringLiteral("frmCommunicationSettings-device"));
}

TEST(frmCommunicationSettings, ADeviceMustBeNamedAndExist) {
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    struct Case {
        QString typed;
        QString message;  // "" = accepted
    };
    const Case cases[] = {
        {"", kNoDeviceText},
        {"   ", kNoDeviceText},
        {"/dev/no-such-tty", "There is no device /dev/no-such-tty."},
        {pty.path, ""},
        {"COM7", ""},  // a platform port name, not a file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        Dialog d;
        std::optional<bool> result;
        d.dialog->ShowForm([&](bool ok) { result = ok; });
        test::clickButton(d.control<QCheckBox>("chkPortName"));
        QLineEdit* edit = d.control<QComboBox>("cboPortName")->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        test::clickButton(d.control<QAbstractButton>("cmdOK"));
        if (c.message.isEmpty()) {
            EXPECT_EQ(result, std::optional<bool>(true));
            EXPECT_EQ(d.dialog->PortName(), c.typed);
            EXPECT_TRUE(d.notices.messages.empty());
        } else {
            EXPECT_FALSE(result.has_value());
            ASSERT_EQ(d.notices.messages.size(), 1u);
            EXPECT_EQ(d.notices.messages[0].text, c.message);
            EXPECT_TRUE(d.dialog->isVisible());
        }
    }
}

struct Desktop {
    sim::PairHarness pair;
    DocumentSession session;
    DataFolders folders;
    MemorySettingsStore settings;
    test::ScriptedDialogs dialogs;
    RecordingNotices notices;
    frmMain frame{session, folders, settings, pair.port(), pair.scheduler(), dialogs};
    GuiDialogEntries* entries =
        new GuiDialogEntries(frame, settings, notices, [] { return kDevices; });

    void open() { frame.findChild<QAction*>("mnuSettingsCommunications")->trigger(); }
    void click(const char* name) {
        test::clickButton(entries->communicationDialog().findChild<QAbstractButton*>(name));
    }
    QString stored(const char* key) { return settings.value("Communication", key); }
};

TEST(frmCommunicationSettings, ConfirmingClosesThePortAndStoresTheThreeKeys) {
    Desktop d;
    d.frame.mnuFileNew_Click();
    ASSERT_TRUE(d.pair.port().isOpen());
    d.settings.clearLog();
    d.open();
    d.click("cmdOK");  // no change
    EXPECT_FALSE(d.pair.port().isOpen());
    EXPECT_EQ(d.pair.port().settings(), "2400,N,8,1");  // only the parity's case differs
    EXPECT_EQ(d.stored("ComPort"), "1");
    EXPECT_EQ(d.stored("Settings"), "2400,N,8,1");
    EXPECT_EQ(d.stored("BurstMode"), "False");
    EXPECT_EQ(d.stored("PortName"), "");

    d.open();
    d.click("optComPort3");
    d.click("cmdOK");
    EXPECT_EQ(d.pair.port().portNumber(), 3);
    EXPECT_EQ(d.stored("ComPort"), "3");
    for (const auto& w : d.settings.writes()) EXPECT_NE(w.section, "386Enh");

    // File > New goes back to the instrument's line settings; the port number stays.
    d.frame.mnuFileNew_Click();
    EXPECT_EQ(d.pair.port().settings(), "2400,n,8,1");
    EXPECT_EQ(d.pair.port().portNumber(), 3);
}

TEST(frmCommunicationSettings, CancelChangesNothingAndTheNextShowingKeepsTheChoices) {
    Desktop d;
    d.frame.mnuFileNew_Click();
    d.settings.clearLog();
    d.open();
    d.click("optComPort4");
    d.click("cmdCancel");
    EXPECT_TRUE(d.pair.port().isOpen());
    EXPECT_EQ(d.pair.port().portNumber(), 1);
    EXPECT_TRUE(d.settings.writes().empty());
    d.open();  // the same dialog, as it was left
    EXPECT_EQ(d.entries->communicationDialog().comPort(), 4);
    d.entries->communicationDialog().close();  // the close box is Cancel
    EXPECT_TRUE(d.settings.writes().empty());
    EXPECT_EQ(d.frame.findChildren<frmCommunicationSettings*>().size(), 1u);
}

TEST(frmCommunicationSettings, AChosenDeviceIsUsedAndStoredNextToTheNumber) {
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    Desktop d;
    d.open();
    d.click("optComPort2");
    d.click("chkPortName");
    QComboBox* devices = d.entries->communicationDialog().findChild<QComboBox*>("cboPortName");
    devices->setEditText(pty.path);
    d.click("cmdOK");
    EXPECT_EQ(d.pair.port().portName(), pty.path);
    EXPECT_EQ(d.stored("PortName"), pty.path);
    EXPECT_EQ(d.stored("ComPort"), "2");
    // Unticking goes back to the port number.
    d.open();
    d.click("chkPortName");
    d.click("cmdOK");
    EXPECT_EQ(d.pair.port().portName(), "");
    EXPECT_EQ(d.stored("PortName"), "");
}

TEST(frmCommunicationSettings, AnAdapterIsDescribedAndRememberedByItsStablePath) {
    const QString stable = "/dev/serial/by-id/usb-Maker_Adapter_A9XK2-if00-port0";
    std::vector<SerialDevice> present{{"/dev/ttyUSB0", "USB-Serial Controller", "A9XK2", stable}};
    sim::PairHarness pair;
    RecordingNotices notices;
    frmCommunicationSettings dialog(pair.port(), false, notices, [&] { return present; });
    auto* devices = dialog.findChild<QComboBox*>("cboPortName");
    auto* description = dialog.findChild<QLabel*>("lblPortDescription");
    std::optional<bool> result;
    dialog.ShowForm([&](bool ok) { result = ok; });
    test::clickButton(dialog.findChild<QCheckBox*>("chkPortName"));
    devices->setCurrentIndex(0);
    EXPECT_EQ(description->text(), "USB-Serial Controller, serial number A9XK2");
    test::clickButton(dialog.findChild<QAbstractButton*>("cmdOK"));
    ASSERT_EQ(result, std::optional<bool>(true));
    EXPECT_EQ(dialog.PortName(), stable);
    // Plugged in again it comes back as ttyUSB1: the next showing offers that device.
    present[0].systemLocation = "/dev/ttyUSB1";
    dialog.ShowForm([](bool) {});
    EXPECT_EQ(devices->currentText(), "/dev/ttyUSB1");
    EXPECT_EQ(dialog.PortName(), stable);
    dialog.reject();
    // Unplugged, the remembered name is shown as it is.
    present.clear();
    dialog.ShowForm([](bool) {});
    EXPECT_EQ(devices->currentText(), stable);
    EXPECT_EQ(description->text(), "(not listed: typed path)");
    dialog.reject();
}

}  // namespace
}  // namespace vantorix
