// The protocol dialogs: a bad name cannot be saved, a protocol of the same name is replaced
// only when the user agrees, and a damaged protocol file cannot be chosen.
#include "protocols/frmProtocols.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "measurement/GuiScriptedDialogs.h"
#include "protocols/ProtocolSample.h"
#include "support/TestSupport.h"

using namespace vantorix;
using namespace vantorix::test;

TEST(frmProtocols, SavesUnderAGoodNameAndReplacesOnlyWhenTheUserAgrees) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::vector<QString> saved;
    AssayProtocol protocol;
    const struct {
        const char* name;
        bool saveEnabled;
        const char* problem;
        int dwell;                 // of the settings saved
        std::deque<bool> replace;  // the answer to "Replace it?"
        int dwellStored;           // the stored protocol's dwell afterwards; 0: none stored
    } steps[] = {
        {"", false, "", 250, {}, 0},
        {"Std/1",
         false,
         "'Std/1' cannot name a protocol: use letters, digits, blanks and - _ . ( ) + , and start "
         "with a letter or digit",
         250,
         {},
         0},
        {"Std", true, "", 250, {}, 250},
        {"Std", true, "", 400, {false}, 250},
        {"Std", true, "", 400, {true}, 400},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        frmProtocols dialog(frmProtocols::Mode::Save, dir.path(), dialogs,
                            [&](const StoredProtocol& p) { saved.push_back(p.protocol.name); });
        protocol.options.Dwell = qint16(s.dwell);
        dialog.setToSave(protocol);
        dialog.findChild<QLineEdit*>("txtName")->setText(QString::fromUtf8(s.name));
        auto* save = dialog.findChild<QPushButton*>("cmdOK");
        EXPECT_EQ(save->isEnabled(), s.saveEnabled);
        EXPECT_EQ(dialog.findChild<QLabel*>("lblProblem")->text(), QString::fromUtf8(s.problem));
        dialogs.yesNoAnswers = s.replace;
        QTest::mouseClick(save, Qt::LeftButton);
        StoredProtocol stored;
        if (s.dwellStored) {
            ASSERT_EQ(loadProtocol(dir.path(), "Std", stored), QString());
            EXPECT_EQ(stored.protocol.options.Dwell, s.dwellStored);
        }
    }
    EXPECT_EQ(saved, (std::vector<QString>{"Std", "Std"}));
    EXPECT_EQ(dialogs.texts("yesno"),
              QStringList({"A protocol 'Std' exists already. Replace it?",
                           "A protocol 'Std' exists already. Replace it?"}));
}

TEST(frmProtocols, ADamagedProtocolIsShownWithItsProblemAndCannotBeChosen) {
    QTemporaryDir dir;
    writeFileBytes(dir.filePath("Broken.protocol"),
                   QString(kSampleProtocol).replace("dwell = 500", "dwell = fast").toUtf8());
    ScriptedDialogs dialogs;
    frmProtocols dialog(frmProtocols::Mode::Choose, dir.path(), dialogs, {});
    EXPECT_EQ(dialog.findChild<QListWidget*>("lstProtocols")->count(), 1);
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("txtPreview")->toPlainText(),
              dir.filePath("Broken.protocol") +
                  " line 13: 'Dwell' must be a whole number from 0 to 500.");
    EXPECT_FALSE(dialog.findChild<QPushButton*>("cmdOK")->isEnabled());
}
