// Shared by the dialog tests: notices recorded instead of shown, a check that no control is
// cut off, and screenshots (written when VANTORIX_SHOT_DIR names a folder).
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QWidget>
#include <vector>

#include "support/TestSupport.h"
#include "ui/GuiDialogNotices.h"

namespace vantorix::test {

class RecordingNotices : public DialogNotices {
  public:
    struct Message {
        QString text;
        Icon icon;
    };
    std::vector<Message> messages;
    int beeps = 0;

    void message(QWidget*, const QString& text, Icon icon, std::function<void()> closed) override {
        messages.push_back({text, icon});
        if (closed) closed();  // the user presses OK at once
    }
    void beep() override { ++beeps; }
    void clear() {
        messages.clear();
        beeps = 0;
    }
};

// Every control the user can see lies inside its parent, and its caption fits: buttons and
// labels are wide and tall enough for their text, check and radio buttons for their box and
// text.
inline void expectNothingClipped(const QWidget& window) {
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->isWindow()) continue;
        const std::string name = w->objectName().toStdString();
        const QWidget* parent = w->parentWidget();
        EXPECT_TRUE(parent->rect().contains(w->geometry()))
            << name << " sticks out of " << parent->objectName().toStdString();
        QString caption;
        if (auto* b = qobject_cast<const QAbstractButton*>(w)) caption = b->text();
        if (auto* l = qobject_cast<const QLabel*>(w)) caption = l->text();
        caption.remove(u'&');
        if (caption.isEmpty()) continue;
        const QFontMetrics metrics = w->fontMetrics();
        EXPECT_LE(metrics.horizontalAdvance(caption), w->width()) << name;
        EXPECT_LE(metrics.height(), w->height()) << name;
        if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << name;
        }
    }
}

// A click where every kind of button takes it: check and radio buttons only react on their
// box and caption, not on the empty space a layout may give them.
inline void clickButton(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    const QPoint at(qMin(10, button->width() / 2), button->height() / 2);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

inline void saveShot(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("VANTORIX_SHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    EXPECT_TRUE(window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
}

}  // namespace vantorix::test
