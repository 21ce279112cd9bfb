// A CSV export onto a full disk fails with its reason and leaves an earlier export as it was.
#include <gtest/gtest.h>

#include <QDir>

#include "results/CsvExport.h"
#include "results/ExportTestDocument.h"
#include "support/TestSupport.h"
#include "support/TinyTmpfs.h"

using namespace vantorix;
using namespace vantorix::test;

TEST(CsvExport, FullDiskKeepsTheEarlierExport) {
    TinyTmpfs disk(64);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    PlateDocument d = document(3, 3);
    const QString path = disk.path() + "/plate.csv";
    writeFileBytes(path, "earlier,export\r\n");
    disk.fillLeaving(1000);
    const CsvExportResult r = WriteCsvExport(d, 0, path);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith("cannot write " + path)) << r.error.toStdString();
    EXPECT_EQ(readFileBytes(path), "earlier,export\r\n");
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), QStringList({"filler", "plate.csv"}));
}
