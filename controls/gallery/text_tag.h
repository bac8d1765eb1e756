#pragma once
// A line of text on the window's background that names what lies beside it.
#include <memory>
#include <string>

#include "platform/runtime/control_site.h"
#include "platform/runtime/label.h"

namespace gallery {

class TextTag {
 public:
  // Clears the site (not owned; must outlive the tag) to the window colour
  // and puts the text at its top-left corner.
  TextTag(platform::ControlSite& site, const std::string& text, bool bold = false);
  TextTag(const TextTag&) = delete;
  TextTag& operator=(const TextTag&) = delete;

 private:
  std::unique_ptr<platform::Label> label_;
};

}  // namespace gallery
