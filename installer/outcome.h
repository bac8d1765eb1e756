#pragma once
// How an install, repair, uninstall or export came out, and the message box
// that tells the user.
#include <string>
#include <string_view>

#include "platform/services.h"

namespace installer {

// What the user asked for: the four things the window offers.
enum class Operation { Install, Repair, Uninstall, Export };
// What the window asks before an operation.
enum class Question { Uninstall, Export };

// The first line of the message of an operation that failed.
std::string_view FailureHeadline(Operation operation);

struct Outcome {
  enum class Result { Succeeded, Failed, Cancelled };

  Operation operation = Operation::Install;
  Result result = Result::Failed;
  std::string message;  // the box's text; empty: no box
  platform::MessageIcon icon = platform::MessageIcon::None;

  static Outcome Success(Operation operation, std::string_view message);
  // The one way an operation fails: its headline, and the cause on the next
  // line when there is one.
  static Outcome Failure(Operation operation, std::string_view cause);
  // The user said no to the question before it.
  static Outcome Cancelled(Operation operation);

  bool Succeeded() const { return result == Result::Succeeded; }
  bool operator==(const Outcome&) const = default;
};

struct MessageBoxText {
  std::string text;
  std::string title;
  platform::MessageButtons buttons;
  platform::MessageIcon icon;
};
MessageBoxText BoxFor(const Outcome& outcome);
MessageBoxText BoxFor(Question question);

}  // namespace installer
