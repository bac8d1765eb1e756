#include "tests/support/environment.h"

#include <windows.h>

namespace test_support {

std::optional<std::wstring> Variable(const wchar_t* name) {
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), needed));
  return value;
}

ScopedVariable::ScopedVariable(const wchar_t* name, const std::wstring& value) : name_(name), old_(Variable(name)) {
  SetEnvironmentVariableW(name, value.c_str());
}

ScopedVariable::~ScopedVariable() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }

}  // namespace test_support
