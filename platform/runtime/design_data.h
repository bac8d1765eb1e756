#pragma once
// The text form of a window's design data: one block of stored properties per
// control instance.
//
//   # comment
//   Begin QORButton QORButtonXZ
//     caption = "XZ"          text, in double quotes ("" for a quote)
//     enabled = False         boolean: True or False
//     _extentx = 2143         32-bit integer
//     min = 0%                16-bit integer (suffix %)
//     titleheight = 495.5     single precision (a decimal point)
//   End
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/property_bag.h"

namespace platform {

struct ControlDesign {
  std::string className;
  std::string name;
  PropertyBag properties;
};

struct DesignData {
  std::vector<ControlDesign> controls;
  // The control of that name, or null.
  const ControlDesign* Find(std::string_view name) const;
};

// A malformed design text; what() names the line, e.g.
// "design data line 4: expected 'key = value'".
class DesignDataError : public std::runtime_error {
 public:
  DesignDataError(int line, const std::string& problem);
  int Line() const { return line_; }

 private:
  int line_;
};

DesignData ParseDesignData(std::string_view text);
std::string FormatDesignData(const DesignData& data);

}  // namespace platform
