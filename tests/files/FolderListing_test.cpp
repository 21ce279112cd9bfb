#include "files/FolderListing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "FolderSamples.h"
#include "support/TestSupport.h"

using namespace vantorix;
using test::at;
using test::writeDoc;

namespace {

QDateTime modified(const QString& path) {
    return QFileInfo(path).lastModified();
}

void setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

}  // namespace

// Each step changes the folder, then the browser refreshes the way the step says; the files
// whose headers were read and the rows listed afterwards are compared.
TEST(FolderListing, RebuildsOnChangeAndReadsOnlyFilesWhoseSizeOrTimeChanged) {
    test::ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path();
    const auto path = [&](const char* name) { return QDir(folder).filePath(name); };
    writeDoc(folder, {"a.ovd", "T", "O", "P", at(2024, 1, 1, 9, 0)});
    writeDoc(folder, {"b.ovd", "T", "O", "P", at(2024, 1, 1, 10, 0)});
    test::writeFileBytes(path("broken.ovd"), "<a><b>1</a>");
    const QByteArray aBytes = test::readFileBytes(path("a.ovd"));
    QDateTime aTime;

    VirtualScheduler scheduler;
    QStringList read;
    FolderListing listing(
        scheduler, [&] { return folder; },
        [&](const QString& in, const QString& name) {
            read << name;
            KeyStore scratch;
            return examineDataFile(in, name, scratch);
        });
    int rebuilds = 0;
    QObject::connect(&listing, &FolderListing::rebuilt, [&] { ++rebuilds; });

    enum How { Refresh, Reopen, WhileShown, WhileHidden };
    const struct {
        const char* what;
        std::function<void()> change;
        How how;
        QStringList read;
        QStringList listed;  // empty: no rebuild
    } steps[] = {
        {"first listing", [] {}, Refresh, {"a.ovd", "b.ovd", "broken.ovd"}, {"a.ovd", "b.ovd"}},
        {"unchanged folder", [] {}, Refresh, {}, {}},
        {"reopened after Open: all from the cache", [] {}, Reopen, {}, {"a.ovd", "b.ovd"}},
        {"a's time changed",
         [&] {
             aTime = modified(path("a.ovd")).addSecs(5);
             setModified(path("a.ovd"), aTime);
         },
         WhileShown,
         {"a.ovd"},
         {"a.ovd", "b.ovd"}},
        {"b rewritten older with another size, its time kept",
         [&] {
             const QDateTime was = modified(path("b.ovd"));
             writeDoc(folder, {"b.ovd", "T", "Oscar", "P", at(2023, 1, 1, 10, 0)});
             setModified(path("b.ovd"), was);
         },
         Refresh,
         {"b.ovd"},
         {"b.ovd", "a.ovd"}},
        {"hidden browser does not look",
         [&] { QFile::remove(path("a.ovd")); },
         WhileHidden,
         {},
         {}},
        {"a removed", [] {}, Refresh, {}, {"b.ovd"}},
        {"a back with its old size and time is read again",
         [&] {
             test::writeFileBytes(path("a.ovd"), aBytes);
             setModified(path("a.ovd"), aTime);
         },
         Refresh,
         {"a.ovd"},
         {"b.ovd", "a.ovd"}},
        {"c added",
         [&] {
             writeDoc(folder, {"c.ovd", "T", "O", "P", at(2022, 1, 1, 9, 0)});
         },
         WhileShown,
         {"c.ovd"},
         {"c.ovd", "b.ovd", "a.ovd"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        read.clear();
        const int rebuildsBefore = rebuilds;
        step.change();
        if (step.how == Reopen) listing.forgetList();
        if (step.how == Refresh || step.how == Reopen) listing.RefreshFileList();
        listing.setActive(step.how == WhileShown);
        scheduler.runFor(FolderListing::kRefreshInterval_ms);
        listing.setActive(false);
        EXPECT_EQ(read, step.read);
        EXPECT_EQ(rebuilds - rebuildsBefore, step.listed.isEmpty() ? 0 : 1);
        if (step.listed.isEmpty()) continue;
        QStringList listed;
        for (const ListedFile& row : listing.rows()) listed << row.fileName;
        EXPECT_EQ(listed, step.listed);
    }
}
