// Any bytes as the data files of a folder, listed as the file browser and `vantorix-cli list`
// list them: header-only reads, the header check, the date and time sort key, the sort. The
// input is cut into up to four files at each byte 0xFF.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "files/FolderScan.h"

using namespace vantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/fuzz-XXXXXX")
                                                       : QDir::tempPath() + "/fuzz-XXXXXX");
    static const char* const names[] = {"a.ovd", "b.OVD", "c.ovd", "d.ovd"};
    size_t start = 0;
    for (int f = 0; f < 4; ++f) {
        size_t end = start;
        while (end < size && data[end] != 0xFF) ++end;
        QFile file(dir.filePath(QString::fromLatin1(names[f])));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
        file.write(reinterpret_cast<const char*>(data + start), qint64(end - start));
        start = end < size ? end + 1 : size;
    }
    const std::vector<ListedFile> rows = scanFolder(dir.path());
    if (rows.size() > 4) __builtin_trap();
    return 0;
}
