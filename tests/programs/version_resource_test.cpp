// Reads back the version resource of each program as a file's properties
// show it: the fixed version numbers and the strings of its one translation.
// Usage: version_resource_tests <IlvoInstaller.exe> <ControlGallery.exe> <Rar.exe>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/wine_paths.h"

namespace {

std::vector<std::filesystem::path>& Programs() {
  static std::vector<std::filesystem::path> programs;
  return programs;
}

class VersionInfo {
 public:
  explicit VersionInfo(const std::filesystem::path& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return;
    data_.resize(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
  }
  bool Present() const { return !data_.empty(); }

  const VS_FIXEDFILEINFO* Fixed() const {
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\", &block, &length) || length < sizeof(VS_FIXEDFILEINFO)) return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(block);
  }
  // The first translation: language and code page.
  std::optional<std::pair<WORD, WORD>> Translation() const {
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &block, &length) || length < 4) return {};
    const WORD* pair = static_cast<const WORD*>(block);
    return std::make_pair(pair[0], pair[1]);
  }
  std::wstring String(const wchar_t* name) const {
    const auto translation = Translation();
    if (!translation) return {};
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->first, translation->second, name);
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), path, &block, &length) || length == 0) return {};
    return static_cast<const wchar_t*>(block);
  }

 private:
  std::vector<char> data_;
};

TEST(VersionResource, EachProgramIntroducesItself) {
  ASSERT_EQ(Programs().size(), 3u) << "usage: version_resource_tests <installer> <gallery> <extractor stand-in>";
  const wchar_t* const descriptions[] = {L"Ilvo 音源安装程序", L"Ilvo 控件一览", L"解压程序替身"};
  std::vector<std::wstring> products;
  for (std::size_t i = 0; i < Programs().size(); ++i) {
    const std::filesystem::path& program = Programs()[i];
    SCOPED_TRACE(program.string());
    const VersionInfo info(program);
    ASSERT_TRUE(info.Present()) << "no version resource";
    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));  // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);              // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(info.Translation(), std::make_pair(WORD{0x0804}, WORD{1200}));  // Chinese (PRC), Unicode
    EXPECT_EQ(info.String(L"FileVersion"), L"1.0.0.0");
    EXPECT_EQ(info.String(L"ProductVersion"), L"1.0.0.0");
    EXPECT_EQ(info.String(L"OriginalFilename"), program.filename().wstring());
    EXPECT_EQ(info.String(L"FileDescription").rfind(descriptions[i], 0), 0u)
        << std::filesystem::path(info.String(L"FileDescription")).string();
    const std::wstring copyright = info.String(L"LegalCopyright");
    EXPECT_EQ(copyright.rfind(L"Copyright (C) 2026 Ilvo 音源", 0), 0u) << std::filesystem::path(copyright).string();
    products.push_back(info.String(L"ProductName"));
  }
  EXPECT_EQ(products[0], L"Ilvo 音源安装程序 (Ilvo voice installer)");
  EXPECT_EQ(products[1], products[0]);
  EXPECT_EQ(products[2], products[0]);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) Programs().push_back(test_support::WindowsPath(argv[i]));
  return RUN_ALL_TESTS();
}
