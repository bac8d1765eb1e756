# Turns the built-in pictures into byte arrays of a generated source file.
# Called at build time: cmake -DOUTPUT=<file.cpp> -DASSETS="<a.bmp>;<b.bmp>" -P embed_assets.cmake
set(entries "")
set(arrays "")
set(index 0)
foreach(asset IN LISTS ASSETS)
  get_filename_component(name "${asset}" NAME_WE)
  file(READ "${asset}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const std::uint8_t kAsset${index}[] = {${bytes}};\n")
  string(APPEND entries "    {\"${name}\", std::span<const std::uint8_t>(kAsset${index})},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Generated from controls/progressbar/assets by embed_assets.cmake.
#include \"controls/progressbar/embedded_assets.h\"

#include <array>
#include <utility>

namespace controls::progressbar {
namespace {

${arrays}
const std::array<std::pair<std::string_view, std::span<const std::uint8_t>>, ${index}> kAssets{{
${entries}}};

}  // namespace

std::span<const std::uint8_t> EmbeddedAsset(std::string_view name) {
  for (const auto& [assetName, bytes] : kAssets)
    if (assetName == name) return bytes;
  return {};
}

}  // namespace controls::progressbar
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
