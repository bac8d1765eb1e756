#pragma once
// Environment variables of this process, which every program it starts
// inherits.
#include <optional>
#include <string>

namespace test_support {

// The variable's value; nothing when it is not set.
std::optional<std::wstring> Variable(const wchar_t* name);

// Set in this process's own environment while this lives, the old value (or
// none) back afterwards: an entry added to a child's environment would come
// after the inherited one and be ignored.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const std::wstring& value);
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable();

 private:
  const wchar_t* name_;
  std::optional<std::wstring> old_;
};

}  // namespace test_support
