#include "files/DataFileNaming.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "frame/ProgramState.h"

using namespace vantorix;

TEST(DataFileNaming, NextDataFileTitle) {
    const std::pair<const char*, const char*> cases[] = {
        {"Sample", "Sample"},       {"Plate.041", "Plate.042"}, {"Plate.999", "Plate.001"},
        {"Plate.000", "Plate.001"}, {"Plate.1e2", "Plate.101"}, {"a.5.ovd", "a.5.ovd"},
        {"Run.ovd", "Run.ovd"},     {"x.-7", "x.001"},          {"x.", "x."},
        {"x.998.5", "x.001"},       {"x. 41 ", "x.042"},        {"x.0.4", "x.001"},
        {"x.5.5", "x.007"},
    };
    for (const auto& [before, after] : cases) {
        ProgramState s;
        s.DataFileTitle = QString::fromLatin1(before);
        NextDataFileTitle(s);
        EXPECT_EQ(s.DataFileTitle, after) << before;
    }
}

TEST(DataFileNaming, SaveDocumentMarksSavedOnlyWhenWritten) {
    QTemporaryDir dir;
    ProgramState s;
    s.DataFolder = dir.path();
    s.DataFileName = dir.filePath("no/such/folder/x.ovd");
    WriteResult r = SaveDocument(s, QDateTime::currentDateTime());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(s.Saved);

    s.DataFileName = dir.filePath("x.ovd");
    r = SaveDocument(s, QDateTime::currentDateTime());
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(s.Saved);
    EXPECT_TRUE(QFile::exists(dir.filePath("x.ovd")));
}
