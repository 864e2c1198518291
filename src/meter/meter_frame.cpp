#include "meter/meter_frame.h"

#include <algorithm>

namespace meter {

namespace {

bool isSyncByte(std::uint8_t byte) { return byte >= 0x10 && byte < 0x20; }

} // namespace

std::optional<MeterFrame> findFrame(QByteArrayView chunk, qsizetype count) {
    const qsizetype examined = std::clamp<qsizetype>(count, 0, chunk.size());
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(chunk.data());
    const auto *end = bytes + examined;
    const auto *start = std::find_if(bytes, end, isSyncByte);
    if (end - start < kFrameLength)
        return std::nullopt;

    MeterFrame frame;
    std::copy_n(start, kFrameLength, frame.bytes.begin());
    return frame;
}

} // namespace meter
