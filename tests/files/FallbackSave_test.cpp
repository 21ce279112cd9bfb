#include "files/FallbackSave.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace vantorix;

// A run that cannot be saved where it was meant to goes to the documents folder (with no
// documents folder configured, ~/Documents) under "Vantorix", named after when the run ended
// and what it was to be called; a second one in the same second gets a number.
TEST(FallbackSave, WritesTheRunToTheDocumentsFolderUnderItsOwnName) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_DOCUMENTS_DIR");
    const QDateTime when(QDate(2026, 12, 6), QTime(15, 45, 9));
    const QString folder = home.path() + "/Documents/Vantorix/";
    const std::pair<const char*, const char*> cases[] = {
        {"/x/Plate.041.ovd", "unsaved-run-20261206-154509-Plate.041.ovd"},
        {"/x/Plate.041.ovd", "unsaved-run-20261206-154509-Plate.041-2.ovd"},
        {"", "unsaved-run-20261206-154509-run.ovd"}};
    for (const auto& [intended, written] : cases) {
        QString path;
        ASSERT_TRUE(saveToFallback(PlateDocument{}, intended, when, &path).ok) << intended;
        EXPECT_EQ(path.toStdString(), (folder + written).toStdString());
        EXPECT_TRUE(QFile::exists(folder + written));
    }
}
