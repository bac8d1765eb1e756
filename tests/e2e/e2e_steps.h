// Steps the end-to-end tests share: a clean record around each test, the
// window opened in a state, questions and the one closing message answered.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/e2e_support.h"

namespace e2e {

// Each test starts and ends with no voice record in the registry.
class RecordCleanTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteVoiceRecord(); }
  void TearDown() override { DeleteVoiceRecord(); }
};

// Opens the window and checks it is in the expected state.
inline void OpenIn(InstallerRun& run, const std::wstring& caption) {
  ASSERT_TRUE(run.WaitForWindow());
  ASSERT_TRUE(run.WaitForCaption(caption)) << std::filesystem::path(run.Caption()).string();
}

// Answers a question once it shows with that text (IDOK or IDCANCEL).
inline void AnswerQuestion(InstallerRun& run, const std::wstring& text, int id) {
  auto box = run.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, text) << std::filesystem::path(box->text).string();
  run.Answer(*box, id);
}

// Answers the one message the user sees and checks the program ended cleanly.
inline void ExpectOnlyMessage(InstallerRun& run, const std::wstring& title, const std::wstring& text) {
  auto box = run.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, title);
  EXPECT_EQ(box->text, text) << std::filesystem::path(box->text).string();
  EXPECT_FALSE(box->hasCancel);
  run.Answer(*box, IDOK);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

}  // namespace e2e
