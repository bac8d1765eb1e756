#include "controls/gallery/text_tag.h"

#include "platform/colour.h"

namespace gallery {

TextTag::TextTag(platform::ControlSite& site, const std::string& text, bool bold)
    : label_(site.CreateLabel(platform::LabelFont{.face = {}, .points = 0, .charset = 1, .bold = bold})) {
  site.Surface().Clear(platform::kSysWindowBackground);
  label_->SetColour(platform::kSysWindowText);
  label_->SetCaption(text);
  label_->Move(0, 0);
}

}  // namespace gallery
