#pragma once
// UTF-8 and UTF-16 conversions that behave the same on every platform, so the
// command line (UTF-16 on Windows) can be handled and tested anywhere.
#include <filesystem>
#include <string>
#include <string_view>

namespace rar_standin {

// Invalid input (a lone surrogate, a bad byte sequence) becomes U+FFFD rather
// than an error: these texts end up in messages and logs, never in decisions.
std::string ToUtf8(std::u16string_view text);
std::u16string ToUtf16(std::string_view utf8);

bool IsValidUtf8(std::string_view text);

// Paths are built from UTF-16 and UTF-8 explicitly: a narrow string would be
// read in the ANSI code page on Windows.
std::filesystem::path PathFromUtf16(std::u16string_view text);
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace rar_standin
