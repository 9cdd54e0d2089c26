#include "special/provocation/ProvocationTexts.h"

#include "platform/basekit/Message.h"
#include "special/provocation/ProvocationCodes.h"
#include "special/provocation/ProvocationModel.h"
#include "special/provocation/ProvocationSetup.h"

#include <array>
#include <cstdio>

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

std::string LimitCrossedText(const TMessage& texts, const TProvocationModel& model) {
  if (!model.LimitReached() || model.StepList().empty())
    return {};
  const TProvStep& last = model.StepList().back();
  std::string lines;
  for (std::size_t k = 0; k < last.Changes.size(); ++k) {
    if (!model.LimitHit(k))
      continue;
    std::array<char, 16> change{};
    std::snprintf(change.data(), change.size(), "%+.0f", static_cast<double>(last.Changes[k]));
    if (!lines.empty())
      lines += "\n";
    lines += texts.Format(LimitCrossedLine, {ProvocationCodes::DisplayName(model.ParamCode(k)),
                                             std::to_string(model.Limit(k)), change.data()});
  }
  return texts.Format(LimitCrossedWarning, {lines});
}

}  // namespace ProvocationTexts
