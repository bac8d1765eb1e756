#pragma once
#include <cstdint>

namespace platform {

// 0x00BBGGRR; a value with the top bit set names a system colour, its low
// byte the system colour index.
using Colour = std::uint32_t;

inline constexpr Colour kSystemColourFlag = 0x80000000u;
inline constexpr Colour SystemColour(int index) { return kSystemColourFlag | static_cast<Colour>(index); }
inline constexpr bool IsSystemColour(Colour c) { return (c & kSystemColourFlag) != 0; }
// The system colour indexes run from 0 (scroll bar) to 30 (menu bar).
inline constexpr int kLastSystemColourIndex = 30;
// A reference to one of them: the top bit and an index, nothing else.
inline constexpr bool IsKnownSystemColour(Colour c) {
  return (c & 0xFFFFFF00u) == kSystemColourFlag && static_cast<int>(c & 0xFF) <= kLastSystemColourIndex;
}

inline constexpr Colour kSysButtonFace = SystemColour(15);
inline constexpr Colour kSysWindowBackground = SystemColour(5);
inline constexpr Colour kSysWindowText = SystemColour(8);

inline constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>(r & 0xFF) | (static_cast<Colour>(g & 0xFF) << 8) |
         (static_cast<Colour>(b & 0xFF) << 16);
}
inline constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

}  // namespace platform
