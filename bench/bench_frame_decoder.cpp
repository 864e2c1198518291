// Decoding throughput: one receive event's work of finding and decoding a frame.
#include "demo_cycle.h"
#include "meter/frame_decoder.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

/// 28-byte chunks as the port delivers them: a frame of the demo behind the tail of the one
/// before it, so the search has to skip up to 13 bytes.
std::vector<QByteArray> demoChunks() {
    std::vector<QByteArray> chunks;
    const std::uint64_t count = metersim::demoCycleLength();
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto frame = metersim::encodeDisplay(metersim::demoDisplay(i));
        const auto next = metersim::encodeDisplay(metersim::demoDisplay(i + 1));
        const QByteArray bytes(reinterpret_cast<const char *>(frame.bytes.data()), 14);
        const QByteArray following(reinterpret_cast<const char *>(next.bytes.data()), 14);
        const qsizetype offset = static_cast<qsizetype>(i % 14);
        chunks.push_back(bytes.right(offset) + bytes + following.left(14 - offset));
    }
    return chunks;
}

void BM_FindAndDecodeFrame(benchmark::State &state) {
    const std::vector<QByteArray> chunks = demoChunks();
    std::size_t i = 0;
    for (auto _ : state) {
        const QByteArray &chunk = chunks[i];
        const auto frame = meter::findFrame(chunk, chunk.size());
        meter::Reading reading = meter::decodeFrame(*frame);
        benchmark::DoNotOptimize(reading);
        i = i + 1 == chunks.size() ? 0 : i + 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("frames");
}
BENCHMARK(BM_FindAndDecodeFrame);

} // namespace

BENCHMARK_MAIN();
