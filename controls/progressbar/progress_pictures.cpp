#include "controls/progressbar/progress_pictures.h"

#include <stdexcept>
#include <string>

#include "controls/progressbar/bmp_decoder.h"
#include "controls/progressbar/embedded_assets.h"

namespace controls::progressbar {
namespace {

platform::Picture Load(const std::string& name) {
  auto picture = DecodeBmp(EmbeddedAsset(name));
  if (!picture) throw std::runtime_error("built-in picture '" + name + "' is missing or not a 24-bit bitmap");
  return std::move(*picture);
}

}  // namespace

ProgressPictures LoadBuiltInPictures() {
  ProgressPictures pictures;
  pictures.img = Load("img");
  pictures.blank = Load("blank");
  for (int look = 0; look < kLookCount; ++look)
    for (int tile = 0; tile < kTilesPerLook; ++tile)
      pictures.looks[look][tile] = Load(std::string(kLookNames[look]) + "_" + std::to_string(tile));
  return pictures;
}

}  // namespace controls::progressbar
