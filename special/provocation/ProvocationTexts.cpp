#include "special/provocation/ProvocationTexts.h"

#include "platform/basekit/Message.h"
#include "special/provocation/ProvocationModel.h"
#include "special/provocation/ProvocationSetup.h"

namespace ProvocationTexts {

namespace {

int ReasonOf(TSetupIssue::TKind kind) {
  switch (kind) {
  case TSetupIssue::TKind::QueueTooLong:
    return QueueTooLongReason;
  case TSetupIssue::TKind::QueueEntry:
    return QueueEntryReason;
  case TSetupIssue::TKind::TooLong:
    return TooLongReason;
  case TSetupIssue::TKind::MaterialName:
    break;
  }
  return MaterialNameReason;
}

}  // namespace

std::string IssueText(const TMessage& texts, const TSetupIssue& issue, const std::string& material) {
  return texts.Format(SettingUnusable, {issue.Key, issue.Value, material, texts.LoadStringA(ReasonOf(issue.Kind))});
}

std::string IssueText(const TMessage& texts, const TParamIssue& issue) {
  return texts.Format(ParamUnusable, {issue.Key, issue.Value});
}

}  // namespace ProvocationTexts
