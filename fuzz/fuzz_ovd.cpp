// libFuzzer target: any bytes through the data-file parser (whole and header-only) and the
// loader. Run: build-fuzz/fuzz_ovd -max_total_time=600 corpus/
#include <cstddef>
#include <cstdint>

#include "files/KeyStore.h"
#include "files/OvdLoader.h"
#include "files/OvdParser.h"
#include "files/PlateFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    vantorix::KeyStore store;
    vantorix::parseDataBytes(store, bytes, true);
    store.ClearKeyStore();
    if (vantorix::parseDataBytes(store, bytes, false)) {
        vantorix::PlateFileRead read;
        vantorix::loadDocumentFromStore(store, read);
    }
    return 0;
}
