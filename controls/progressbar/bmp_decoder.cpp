#include "controls/progressbar/bmp_decoder.h"

#include <cstddef>

namespace controls::progressbar {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;  // newer headers are longer and start the same way
constexpr std::uint32_t kUncompressed = 0;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

}  // namespace

std::optional<platform::Picture> DecodeBmp(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const std::uint32_t pixelOffset = U32(bytes, 10);
  const std::uint32_t infoSize = U32(bytes, 14);
  if (infoSize < kInfoHeaderSize || infoSize > bytes.size() - kFileHeaderSize) return std::nullopt;
  const std::int32_t width = I32(bytes, 18);
  const std::int32_t signedHeight = I32(bytes, 22);
  if (U16(bytes, 26) != 1 || U16(bytes, 28) != 24 || U32(bytes, 30) != kUncompressed) return std::nullopt;
  const bool topDown = signedHeight < 0;
  // Checked before negating, so that the most negative height cannot overflow.
  if (width <= 0 || width > kMaxBmpSide || signedHeight == 0 || signedHeight < -kMaxBmpSide ||
      signedHeight > kMaxBmpSide)
    return std::nullopt;
  const int height = topDown ? -signedHeight : signedHeight;

  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  if (pixelOffset > bytes.size()) return std::nullopt;
  // The last row needs only its pixels, not its padding.
  if (bytes.size() - pixelOffset < stride * static_cast<std::size_t>(height - 1) + rowBytes) return std::nullopt;

  platform::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const int storedRow = topDown ? y : height - 1 - y;
    const std::size_t row = pixelOffset + stride * static_cast<std::size_t>(storedRow);
    for (int x = 0; x < width; ++x) {
      const std::size_t at = row + static_cast<std::size_t>(x) * 3;
      picture.pixels[static_cast<std::size_t>(y * width + x)] = platform::Rgb(bytes[at + 2], bytes[at + 1], bytes[at]);
    }
  }
  return picture;
}

}  // namespace controls::progressbar
