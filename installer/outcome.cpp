#include "installer/outcome.h"

#include "installer/texts.h"

namespace installer {

using platform::MessageButtons;
using platform::MessageIcon;

std::string_view FailureHeadline(Operation operation) {
  switch (operation) {
    case Operation::Install: return texts::kInstallFailed;
    case Operation::Repair: return texts::kRepairFailed;
    case Operation::Uninstall: return texts::kUninstallFailed;
    case Operation::Export: break;
  }
  return texts::kExportFailed;
}

Outcome Outcome::Success(Operation operation, std::string_view message) {
  return {operation, Result::Succeeded, std::string(message), MessageIcon::None};
}

Outcome Outcome::Failure(Operation operation, std::string_view cause) {
  std::string message(FailureHeadline(operation));
  if (!cause.empty()) message.append("\r\n").append(cause);
  return {operation, Result::Failed, std::move(message), MessageIcon::Critical};
}

Outcome Outcome::Cancelled(Operation operation) { return {operation, Result::Cancelled, {}, MessageIcon::None}; }

MessageBoxText BoxFor(const Outcome& outcome) {
  return {outcome.message, std::string(outcome.Succeeded() ? texts::kTitleInfo : texts::kTitleError),
          MessageButtons::Ok, outcome.icon};
}

MessageBoxText BoxFor(Question question) {
  if (question == Question::Uninstall) {
    return {std::string(texts::kUninstallConfirm), std::string(texts::kTitleWarning), MessageButtons::OkCancel,
            MessageIcon::Question};
  }
  return {std::string(texts::kExportConfirm), std::string(texts::kTitleInfo), MessageButtons::OkCancel,
          MessageIcon::Question};
}

}  // namespace installer
