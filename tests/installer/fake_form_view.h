#pragma once
// A FormView for tests: keeps every state, question and outcome it is told,
// answers questions from a queue (yes when empty), and writes every call
// into a call log.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "installer/form_view.h"

namespace fakes {

class FakeFormView : public installer::FormView {
 public:
  using Operation = installer::Operation;
  using Outcome = installer::Outcome;
  using Question = installer::Question;
  using VoiceStatus = installer::VoiceStatus;

  explicit FakeFormView(std::vector<std::string>* log = nullptr) : log_(log) {}

  static std::string Name(Operation operation) {
    switch (operation) {
      case Operation::Install: return "install";
      case Operation::Repair: return "repair";
      case Operation::Uninstall: return "uninstall";
      case Operation::Export: break;
    }
    return "export";
  }

  void ShowState(const VoiceStatus& status) override {
    Note("ShowState " + std::to_string(static_cast<int>(status.state)) + (status.dataMissing ? " data missing" : ""));
    states.push_back(status);
  }
  void ShowBusy(Operation operation) override {
    Note("ShowBusy " + Name(operation));
    busy.push_back(operation);
  }
  bool Ask(Question question) override {
    Note(question == Question::Uninstall ? "Ask uninstall" : "Ask export");
    questions.push_back(question);
    if (onAsk) onAsk(question);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Report(const Outcome& outcome) override {
    Note("Report " + outcome.message);
    reports.push_back(outcome);
  }
  void Finish(const Outcome& outcome) override {
    Note("Finish " + Name(outcome.operation) + ": " + outcome.message);
    finishes.push_back(outcome);
  }

  // The one outcome the program ended with, or nothing when it has not ended.
  std::optional<Outcome> Finished() const {
    if (finishes.empty()) return std::nullopt;
    return finishes.back();
  }

  std::deque<bool> answers;
  std::function<void(Question)> onAsk;  // runs while a question is open

  std::vector<VoiceStatus> states;
  std::vector<Operation> busy;
  std::vector<Question> questions;
  std::vector<Outcome> reports;
  std::vector<Outcome> finishes;

 private:
  void Note(std::string line) const {
    if (log_ != nullptr) log_->push_back(std::move(line));
  }
  std::vector<std::string>* log_;
};

}  // namespace fakes
