#pragma once
// Text conversions at the edge of Windows: the program keeps UTF-8, the wide
// calls take UTF-16, and an export file takes the ANSI code page where it can.
#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// UTF-8 to the system's ANSI code page (936 on a Chinese system).
std::string ToAnsi(std::string_view utf8);
// The same, but nothing when the code page cannot hold every character (it
// would put "?" or a look-alike in its place).
std::optional<std::string> ToAnsiExactly(std::string_view utf8);
// Text of the system's ANSI code page (what the "A" calls give) as UTF-16
// and as UTF-8.
std::wstring WidenAnsi(std::string_view ansi);
std::string FromAnsi(std::string_view ansi);

}  // namespace platform::win32
