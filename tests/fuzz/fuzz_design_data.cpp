// libFuzzer target for the design data text: any input either parses or gives
// a DesignDataError, and what parses is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "platform/runtime/design_data.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool SameDesign(const platform::DesignData& a, const platform::DesignData& b) {
  if (a.controls.size() != b.controls.size()) return false;
  for (std::size_t i = 0; i < a.controls.size(); ++i) {
    const auto& x = a.controls[i];
    const auto& y = b.controls[i];
    if (x.className != y.className || x.name != y.name || !(x.properties == y.properties)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  platform::DesignData parsed;
  try {
    parsed = platform::ParseDesignData(text);
  } catch (const platform::DesignDataError& error) {
    Check(error.Line() >= 0);
    return 0;
  }
  std::string written;
  try {
    written = platform::FormatDesignData(parsed);
  } catch (const std::invalid_argument&) {
    return 0;  // a value the text form cannot hold
  }
  Check(SameDesign(platform::ParseDesignData(written), parsed));
  return 0;
}
