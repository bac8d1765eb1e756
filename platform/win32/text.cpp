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

std::wstring ToWide(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int chars = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (chars <= 0) return {};
  std::wstring out(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, out.data(), chars);
  return out;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return ToWide(utf8, CP_UTF8); }

std::string Narrow(std::wstring_view wide) { return FromWide(wide, CP_UTF8); }

std::string ToAnsi(std::string_view utf8) { return FromWide(Widen(utf8), CP_ACP); }

std::optional<std::string> ToAnsiExactly(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  std::string ansi = FromWide(wide, CP_ACP);
  // Read back: a character the code page lacks comes back as another one.
  if (WidenAnsi(ansi) != wide) return std::nullopt;
  return ansi;
}

std::wstring WidenAnsi(std::string_view ansi) { return ToWide(ansi, CP_ACP); }

std::string FromAnsi(std::string_view ansi) { return Narrow(WidenAnsi(ansi)); }

}  // namespace platform::win32
