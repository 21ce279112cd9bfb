#include "ui/GuiSaveAs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace vantorix {
namespace {

TEST(GuiSaveAs, ProposesTheTitleInTheDataFolderAndAsksBeforeOverwriting) {
    QTemporaryDir dir;
    std::unique_ptr<QFileDialog> dialog(makeSaveAsDialog(nullptr, "Plate.041", dir.path()));
    EXPECT_EQ(dialog->windowTitle(), "Save As");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Orvexa Data Format (*.ovd)"});
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog->defaultSuffix(), "ovd");
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
}

// The dialog answers through its callback, without a nested event loop in the caller.
TEST(GuiSaveAs, AnswersWithThePathOrNothing) {
    QTemporaryDir dir;
    for (bool accept : {true, false}) {
        QString answer = "unset";
        AskDataFileName(nullptr, "Sample", dir.path(), [&](QString path) { answer = path; });
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
        }
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(answer, "unset");  // nothing until the user closes it
        if (accept)
            QMetaObject::invokeMethod(dialog, "accept");
        else
            QMetaObject::invokeMethod(dialog, "reject");
        QCoreApplication::processEvents();
        if (accept)
            EXPECT_EQ(answer, QDir(dir.path()).filePath("Sample.ovd"));
        else
            EXPECT_EQ(answer, "");
    }
}

}  // namespace
}  // namespace vantorix
