// Every message box the program shows, as the user sees it: the real box that opens for each of
// the program's messages, with its title, icon and buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include "ui/GuiDialogNotices.h"
#include "ui/GuiDialogs.h"

using namespace vantorix;

namespace {

using B = QMessageBox;
// How the program asks: the Dialogs question or notice, or the settings dialogs' notices.
enum class Call { RetryCancel, OkCancel, YesNoCancel, Inform, Notice, InformationNotice };

void open(Call call, const QString& text, QWidget* parent) {
    QtDialogs d;
    QtDialogNotices n;
    switch (call) {
        case Call::RetryCancel:
            return d.askRetryCancel(parent, "Communication Error", text, [](bool) {});
        case Call::OkCancel:
            return d.askOkCancel(parent, text, [](bool) {});
        case Call::YesNoCancel:
            return d.askYesNoCancel(parent, text, [](YesNoCancel) {});
        case Call::Inform:
            return d.inform(parent, text);
        case Call::Notice:
            return n.message(parent, text, DialogNotices::Icon::None, {});
        case Call::InformationNotice:
            return n.message(parent, text, DialogNotices::Icon::Information, {});
    }
}

QMessageBox* shownBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    return nullptr;
}

}  // namespace

TEST(GuiMessageBoxes, EachMessageHasItsTitleIconAndButtons) {
    const struct {
        Call call;
        const char* text;
        const char* title;
        B::Icon icon;
        B::StandardButtons buttons;
    } cases[] = {
        {Call::RetryCancel, "The VantorixTM is not responding.  Do you want to try again?",
         "Communication Error", B::Question, B::Retry | B::Cancel},
        {Call::OkCancel, "Prepare an empty plate for Pump priming, Click 'OK' to proceed...",
         "Vantorix", B::Warning, B::Ok | B::Cancel},
        {Call::YesNoCancel, "Integrated Data has not been saved. Save it now?", "Vantorix",
         B::Question, B::Yes | B::No | B::Cancel},
        {Call::Inform, "You have cancelled this run.", "Vantorix", B::NoIcon, B::Ok},
        {Call::Notice, "The number of repeating runs must be greater 1.  Please correct",
         "Vantorix", B::NoIcon, B::Ok},
        {Call::InformationNotice, "'Pump 1 Volume' + 'Pump 2 Volume' cannot exceed 250", "Vantorix",
         B::Information, B::Ok},
    };
    QWidget window;
    window.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        open(c.call, QString::fromLatin1(c.text), &window);
        QMessageBox* box = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (box = shownBox()) != nullptr; }, 2000));
        EXPECT_EQ(box->text().toStdString(), c.text);
        EXPECT_EQ(box->windowTitle().toStdString(), c.title);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->standardButtons(), c.buttons);
        box->close();
        ASSERT_TRUE(QTest::qWaitFor([] { return shownBox() == nullptr; }, 2000));
    }
}
