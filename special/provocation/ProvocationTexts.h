#pragma once

// The language texts of the provocation's set-up, as its panel, dialogs
// and sheet show them.

namespace ProvocationTexts {

inline constexpr int ModeLabel = 338;
inline constexpr int ModeTyped = 339;
inline constexpr int ModeNebulised = 340;
inline constexpr int TypeLabel = 341;
inline constexpr int ConcentrationLabel = 342;  // also type 0: one concentration
inline constexpr int TypeQueue = 343;
inline constexpr int QueueLabel = 345;
inline constexpr int HeadLabel = 346;
inline constexpr int HeadPurple = 347;
inline constexpr int HeadGreen = 348;
inline constexpr int MaterialLabel = 349;
inline constexpr int AccumLabel = 350;
inline constexpr int Accumulated = 351;
inline constexpr int SetupTitle = 352;
inline constexpr int ParamTitle = 353;
inline constexpr int SolutionLabel = 354;
inline constexpr int MaximumLabel = 355;
inline constexpr int NotAccumulated = 356;
inline constexpr int DoseLabel = 357;
inline constexpr int CloseQuestion = 362;
inline constexpr int DoseCaption = 9246;  // the dose dialog's own caption
inline constexpr int TypeTargetDose = 541;

// Messages on values of the settings file that cannot be used.
inline constexpr int SettingUnusable = 9240;
inline constexpr int QueueTooLongReason = 9241;
inline constexpr int QueueEntryReason = 9242;
inline constexpr int TooLongReason = 9243;
inline constexpr int MaterialNameReason = 9244;
inline constexpr int ParamUnusable = 9245;
// The warning before a further dose once a parameter crossed its limit.
inline constexpr int LimitCrossedLine = 9247;
inline constexpr int LimitCrossedWarning = 9248;

constexpr int AccumText(unsigned accum) { return accum == 0 ? NotAccumulated : Accumulated; }
constexpr int ModeText(unsigned mode) { return mode == 0 ? ModeTyped : ModeNebulised; }
constexpr int TypeText(unsigned type) { return type == 0 ? ConcentrationLabel : type == 1 ? TypeQueue : TypeTargetDose; }
constexpr int HeadText(unsigned head) { return head == 0 ? HeadPurple : HeadGreen; }

}  // namespace ProvocationTexts

#include <string>

class TMessage;
class TProvocationModel;
struct TParamIssue;
struct TSetupIssue;

namespace ProvocationTexts {

// "The setting Queue=... of the provocation material ... cannot be used: ..."
std::string IssueText(const TMessage& texts, const TSetupIssue& issue, const std::string& material);
std::string IssueText(const TMessage& texts, const TParamIssue& issue);

// The warning that names each parameter that crossed its limit, the limit
// and the parameter's change at the last step; empty while none crossed.
std::string LimitCrossedText(const TMessage& texts, const TProvocationModel& model);

}  // namespace ProvocationTexts
