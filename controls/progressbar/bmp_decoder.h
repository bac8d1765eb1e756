#pragma once
// Reads uncompressed 24-bit BMP files, the format of the built-in pictures.
#include <cstdint>
#include <optional>
#include <span>

#include "platform/runtime/picture.h"

namespace controls::progressbar {

// The picture, or nothing when the bytes are not a complete uncompressed
// 24-bit bitmap (bottom-up or top-down) of at most kMaxBmpSide pixels a side.
std::optional<platform::Picture> DecodeBmp(std::span<const std::uint8_t> bytes);

inline constexpr int kMaxBmpSide = 4096;

}  // namespace controls::progressbar
