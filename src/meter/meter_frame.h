#pragma once

#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <optional>

namespace meter {

inline constexpr int kFrameLength = 14;

/// One display frame of the meter. Byte k (1..14) carries k in its high nibble and four
/// segments or annunciators in its low nibble; only byte 1's high nibble is ever tested.
struct MeterFrame {
    std::array<std::uint8_t, kFrameLength> bytes{};

    /// Low nibble of byte k, 1-based as the meter numbers its bytes.
    std::uint8_t nibble(int k) const { return bytes[static_cast<std::size_t>(k - 1)] & 0x0F; }
    /// Bit 0..3 of byte k's low nibble.
    bool bit(int k, int bitIndex) const { return (nibble(k) >> bitIndex) & 1; }
};

/// The first frame in the first `count` bytes of a chunk: it starts at the first byte in
/// 0x10..0x1F and must end within those bytes, or there is none (nothing is carried over to
/// the next chunk). `count` is what the port reported as waiting; a count beyond the chunk is
/// cut to the chunk's size.
std::optional<MeterFrame> findFrame(QByteArrayView chunk, qsizetype count);

} // namespace meter
