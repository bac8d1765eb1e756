#pragma once
// The bytes of the built-in picture files, compiled into the program so that
// both builds and the tests use the same pictures.
#include <cstdint>
#include <span>
#include <string_view>

namespace controls::progressbar {

// The file of that name (without ".bmp"), or an empty span.
std::span<const std::uint8_t> EmbeddedAsset(std::string_view name);

}  // namespace controls::progressbar
