#include "files/DataFileNaming.h"
#include "files/FallbackSave.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace vantorix;

TEST(DataFileNaming, NextTitleCountsTheNumericExtensionOn) {
    const std::pair<const char*, const char*> cases[] = {
        {"Sample", "Sample"},
        {"Plate.041", "Plate.042"},
        {"Plate.999", "Plate.001"},
        {"Plate.000", "Plate.001"},
        {"Plate.1e2", "Plate.101"},
        {"a.5.ovd", "a.006.ovd"},
        {"Run.ovd", "Run.ovd"},
        {"x.-7", "x.001"},
        {"x.", "x."},
        {"x.998.5", "x.001"},
        {"x. 41 ", "x.042"},
        {"x.0.4", "x.001"},
        {"x.5.5", "x.007"},
        {"Plate.041.ovd", "Plate.042.ovd"},
        {"P.999.OVD", "P.001.OVD"},
        {".ovd", ".ovd"},
    };
    for (const auto& [before, after] : cases)
        EXPECT_EQ(nextDataFileTitle(before, QString()).toStdString(), after) << before;
}

// The proposal never names a file that is already there: it counts on to the first free one.
TEST(DataFileNaming, ProposalSkipsExistingFiles) {
    QTemporaryDir dir;
    for (const char* name : {"Sample.ovd", "Sample.001.ovd", "Plate.042.ovd", "Old.7"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    const std::pair<const char*, const char*> cases[] = {
        {"Sample", "Sample.002.ovd"},
        {"Sample.ovd", "Sample.002.ovd"},
        {"Plate.042.ovd", "Plate.043.ovd"},
        {"Fresh.ovd", "Fresh.ovd"},
        {"Old.7", "Old.7"},
    };
    for (const auto& [title, proposed] : cases)
        EXPECT_EQ(freeDataFileTitle(title, dir.path()).toStdString(), proposed);
    EXPECT_EQ(nextDataFileTitle("Plate.041.ovd", dir.path()), "Plate.043.ovd");
    const std::pair<const char*, const char*> extensions[] = {
        {"plate.001", "plate.001.ovd"}, {"a.OVD", "a.OVD"}, {"b.ovd.txt", "b.ovd.txt.ovd"}};
    for (const auto& [name, file] : extensions) EXPECT_EQ(withOvdExtension(name), file);
}

// The fallback file of a run whose file could not be written: its name stays within the 255
// bytes a file name may hold however long the title, so the fallback itself never fails on it.
TEST(DataFileNaming, FallbackNameStaysWithinAFileNamesLength) {
    const QDateTime when(QDate(2026, 12, 6), QTime(15, 45, 9));
    const QString stamp = QStringLiteral("unsaved-run-20261206-154509-");
    const struct {
        QString intended, name;
    } cases[] = {
        {"/x/Plate.041.ovd", "unsaved-run-20261206-154509-Plate.041.ovd"},
        {"/x/" + QString(250, u'a') + ".ovd", stamp + QString(215, u'a') + ".ovd"},
        {"/x/" + QString(200, u'é'), stamp + QString(107, u'é') + ".ovd"},
        {"/x/" + QString::fromUtf8("\U0001F600").repeated(120),
         stamp + QString::fromUtf8("\U0001F600").repeated(53) + ".ovd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fallbackFileName(c.intended, when), c.name) << c.intended.size();

    const QString intended = "/no/such/folder/" + QString(250, u'b') + ".ovd";
    QString path;
    const WriteResult written = saveToFallback(PlateDocument{}, intended, when, &path);
    ASSERT_TRUE(written.ok) << written.error.toStdString();
    EXPECT_EQ(path, userDataFolder() + u'/' + stamp + QString(215, u'b') + ".ovd");
    QFile::remove(path);
}
