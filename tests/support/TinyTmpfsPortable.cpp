// Where no tmpfs can be mounted: never mounted, so the full-disk tests skip.
#include "support/TinyTmpfs.h"

namespace vantorix::test {

TinyTmpfs::TinyTmpfs(int) {}

TinyTmpfs::~TinyTmpfs() = default;

void TinyTmpfs::fillLeaving(qint64) {}

}  // namespace vantorix::test
