#include "platform/win32/text.h"

#include <windows.h>

namespace platform::win32 {
namespace {

std::string FromWide(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  int bytes = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  int chars = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, out.data(), chars);
  return out;
}

std::string Narrow(std::wstring_view wide) { return FromWide(wide, CP_UTF8); }

std::string ToAnsi(std::string_view utf8) { return FromWide(Widen(utf8), CP_ACP); }

std::optional<std::string> ToAnsiExactly(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  std::string ansi = FromWide(wide, CP_ACP);
  // Read back: a character the code page lacks comes back as another one.
  std::wstring back;
  if (!ansi.empty()) {
    const int length = static_cast<int>(ansi.size());
    const int chars = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    back.resize(static_cast<std::size_t>(chars));
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, back.data(), chars);
  }
  if (back != wide) return std::nullopt;
  return ansi;
}

}  // namespace platform::win32
