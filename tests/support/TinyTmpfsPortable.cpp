// Where no tmpfs can be mounted: never mounted, so the full-disk and read-only tests skip.
#include "support/TinyTmpfs.h"

namespace vantorix::test {

TinyTmpfs::TinyTmpfs(int) {}

TinyTmpfs::~TinyTmpfs() = default;

void TinyTmpfs::fillLeaving(qint64) {}

ReadOnlyFile::ReadOnlyFile(const QString& path) : path_(path) {}

void ReadOnlyFile::release() {}

}  // namespace vantorix::test
