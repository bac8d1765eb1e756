#include "controls/common/paint_arithmetic.h"

#include <charconv>
#include <cstdint>

namespace controls {

std::string ColorToRgbText(platform::Colour colour) {
  const auto value = static_cast<std::int32_t>(colour);
  const std::int32_t red = value % 256;
  const std::int32_t green = (value / 256) % 256;
  const std::int32_t blue = value / 65536;
  return std::to_string(red) + "," + std::to_string(green) + "," + std::to_string(blue);
}

std::array<double, 3> SplitRgbText(std::string_view text) {
  std::array<double, 3> parts{};
  for (double& part : parts) {
    const std::size_t comma = text.find(',');
    const std::string_view field = text.substr(0, comma);
    std::int32_t value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value);
    part = value;
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  }
  return parts;
}

std::vector<platform::Point> CornerPixels(int widthPixels, int heightPixels, int cornerSize) {
  const int n = cornerSize + 1;
  std::vector<platform::Point> pixels;
  for (int i = 1; i <= n; ++i) {
    pixels.push_back({n - i - 1, i - 1});
    pixels.push_back({n - i - 1, heightPixels - i - 1});
    pixels.push_back({widthPixels - n + i - 1, i - 1});
    pixels.push_back({widthPixels - n + i - 1, heightPixels - i - 1});
  }
  return pixels;
}

}  // namespace controls
