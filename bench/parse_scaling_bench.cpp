// Parse time against file size, for the two shapes a hostile or damaged file can take:
//   flat   - a document whose set lines grow (few elements, long values), parsed whole;
//   nested - elements nested inside the notes, ever deeper (the scanner refuses the file once
//            an element's path passes its bound, but reads and decodes it first).
// Both must grow linearly: the "BigO" line gives the time per byte (the slope) and "RMS" how
// far the measurements stray from a straight line. Sizes run from 1 MB to 64 MB, the largest
// data file the program reads.
#include <benchmark/benchmark.h>

#include "files/KeyStore.h"
#include "files/OvdParser.h"

using namespace vantorix;

namespace {

QByteArray flatFile(qint64 size) {
    QByteArray t =
        "<orvexa-labs-format>\r\n<format-id>A</format-id>\r\n<user-application><name>The "
        "Vantorix</name><format-id>C</format-id></user-application>\r\n<data>\r\n<sets>255</sets>"
        "\r\n";
    const qint64 perSet = size / 255;
    for (int set = 1; set <= 255; ++set) {
        const QByteArray nnn = QByteArray::number(set).rightJustified(3, '0');
        QByteArray line = "    <set-data-" + nnn + ">";
        while (line.size() < perSet - 24) line += "1234567 ";
        t += line + "</set-data-" + nnn + ">\r\n";
    }
    return t + "</data>\r\n</orvexa-labs-format>\r\n";
}

QByteArray nestedFile(qint64 size) {
    const qint64 depth = size / 7;  // "<a>" and "</a>"
    return "<orvexa-labs-format><data-header><notes>" + QByteArray("<a>").repeated(depth) + "x" +
           QByteArray("</a>").repeated(depth) + "</notes></data-header></orvexa-labs-format>";
}

void parseScaling(benchmark::State& st, QByteArray (*make)(qint64)) {
    const QByteArray bytes = make(st.range(0));
    KeyStore store;
    for (auto _ : st) {
        parseDataBytes(store, bytes, false);
        benchmark::DoNotOptimize(store.KeyCount());
    }
    st.SetComplexityN(bytes.size());
    st.SetBytesProcessed(st.iterations() * bytes.size());
}

void BM_ParseFlat(benchmark::State& st) {
    parseScaling(st, flatFile);
}
void BM_ParseNested(benchmark::State& st) {
    parseScaling(st, nestedFile);
}

constexpr int64_t kMB = 1024 * 1024;
BENCHMARK(BM_ParseFlat)
    ->RangeMultiplier(2)
    ->Range(kMB, 64 * kMB)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseNested)
    ->RangeMultiplier(2)
    ->Range(kMB, 64 * kMB)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
