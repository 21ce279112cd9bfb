// libFuzzer target: any bytes through the data-file parser (whole and header-only) and the
// loader. Run: build-fuzz/fuzz_ovd -max_total_time=600 corpus/
#include <cstddef>
#include <cstdint>

#include "files/OvdLoader.h"
#include "files/OvdParser.h"
#include "kernel/ProgramState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vantorix::ProgramState s;  // one table of readings; allocating it per input is slow
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    vantorix::parseDataBytes(s.keyStore, bytes, true);
    if (vantorix::parseDataBytes(s.keyStore, bytes, false)) vantorix::loadReadingsFromStore(s);
    return 0;
}
