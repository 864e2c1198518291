// Any bytes the line may bring, with any count the port may report: the search and the
// decoder never crash, and what they return keeps the reading's invariants.
#include "core/number_text.h"
#include "meter/frame_decoder.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes are the count the port reported, the rest the chunk.
    const auto count = static_cast<std::int16_t>(data[0] | data[1] << 8);
    const QByteArrayView chunk(reinterpret_cast<const char *>(data + 2),
                               static_cast<qsizetype>(size - 2));
    const auto frame = meter::findFrame(chunk, count);
    if (!frame)
        return 0;
    check(count >= meter::kFrameLength && (frame->bytes[0] >> 4) == 1);

    const meter::Reading r = meter::decodeFrame(*frame);
    check(std::isfinite(r.Value));
    check(r.ValueText.size() <= 6);
    check(r.DotPosition == r.ValueText.indexOf(u'.') + 1);
    check(!(r.LuxFlag && (r.SoundFlag || r.HumidityFlag)));
    if (r.SoundFlag)
        check(r.Value == 0.0f || (r.Value >= meter::kSoundMin && r.Value <= meter::kSoundMax));
    if (!r.SoundOverload) {
        const float unsignedValue = static_cast<float>(core::leadingNumber(
            r.Minus ? QStringView(r.ValueText).mid(1) : QStringView(r.ValueText)));
        check(r.Value == (r.Minus ? -unsignedValue : unsignedValue));
    }
    return 0;
}
