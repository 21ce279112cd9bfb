// libFuzzer target: any bytes through the data-file parser (whole and header-only) and the
// loader. Run: build-fuzz/fuzz_ovd -max_total_time=600 corpus/
#include <cstddef>
#include <cstdint>

#include "files/OvdLoader.h"
#include "files/OvdParser.h"
#include "files/PlateFile.h"
#include "kernel/KeyStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantorix::KeyStore store;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    vantorix::parseDataBytes(store, bytes, true);
    store.ClearKeyStore();
    vantorix::PlateFileRead read;
    if (vantorix::parseDataBytes(store, bytes, false)) vantorix::loadDocumentFromStore(store, read);
    return 0;
}
