#include "records/BrowsePlan.h"

#include "common/CommandNumbers.h"
#include "records/PatientCopy.h"

namespace BrowsePlan {

namespace {

bool Starts(std::string_view line, std::string_view kind) { return line.substr(0, kind.size()) == kind; }

// The chosen kind's prefix of a line.
std::string_view KindOf(const TKinds& kinds, std::string_view line) {
  if (kinds.Spiro > 0)
    return "SPIRO";
  if (kinds.Audio)
    return "AUDIO";
  return line.substr(0, 5);
}

std::vector<std::size_t> ScanOrder(const std::vector<TLine>& lines, int dateOrder) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < lines.size(); ++i)
    order.push_back(dateOrder == 0 ? i : lines.size() - 1 - i);
  return order;
}

}  // namespace

TKinds Kinds(const std::vector<TLine>& lines, bool audioInstalled, bool rhinoInstalled) {
  TKinds kinds;
  bool anterior = false, posterior = false;
  for (const TLine& line : lines) {
    if (!line.Selected)
      continue;
    kinds.Spiro += Starts(line.Text, "SPIRO");
    kinds.Audio = kinds.Audio || (Starts(line.Text, "AUDIO") && audioInstalled);
    anterior = anterior || Starts(line.Text, "RINOA");
    posterior = posterior || Starts(line.Text, "RINOP");
  }
  kinds.Rhino = (anterior != posterior) && rhinoInstalled;
  return kinds;
}

std::string KeyOf(std::string_view line, std::size_t dateLength, std::size_t timeLength) {
  const auto parsed = PatientCopy::ParseMeetLine(line, dateLength, timeLength);
  return parsed ? parsed->Date + "@" + parsed->Time : std::string();
}

std::vector<TMessage> SelectionLoad(const std::vector<TLine>& lines, const TKinds& kinds, int dateOrder,
                                    bool trendMode, unsigned trendFilter, std::size_t dateLength,
                                    std::size_t timeLength) {
  std::vector<std::size_t> chosen;
  for (std::size_t i : ScanOrder(lines, dateOrder))
    if (lines[i].Selected && !KeyOf(lines[i].Text, dateLength, timeLength).empty())
      chosen.push_back(i);
  if (chosen.empty())
    return {};
  const auto message = [&](std::size_t i, unsigned wParam) {
    const std::string_view text = lines[i].Text;
    const unsigned kind = trendMode           ? WM_READ_TREND_DATA
                          : Starts(text, "AUDIO") ? WM_LOAD_AUDIOGRAM
                                              : WM_LOAD_MEASUREMENT;
    return TMessage{kind, wParam, KeyOf(text, dateLength, timeLength)};
  };
  if (chosen.size() == 1 && !trendMode)
    return {message(chosen[0], 1)};
  const std::string_view kind = KindOf(kinds, lines[chosen[0]].Text);
  std::vector<TMessage> messages;
  if (trendMode) {
    for (std::size_t i : chosen)
      if (Starts(lines[i].Text, kind))
        messages.push_back(message(i, trendFilter));
    return messages;
  }
  for (std::size_t i : chosen)
    if (Starts(lines[i].Text, kind)) {
      messages.push_back(message(i, 2));
      break;
    }
  for (auto i = chosen.rbegin(); i != chosen.rend(); ++i)
    if (Starts(lines[*i].Text, kind)) {
      if (messages.empty() || message(*i, 1).Key != messages.front().Key)
        messages.push_back(message(*i, 1));
      break;
    }
  return messages;
}

std::vector<TMessage> SeriesLoad(const std::vector<TLine>& lines, int dateOrder, std::size_t dateLength,
                                 std::size_t timeLength) {
  std::vector<TMessage> messages;
  for (std::size_t i : ScanOrder(lines, dateOrder))
    if (lines[i].Selected && Starts(lines[i].Text, "SPIRO"))
      if (std::string key = KeyOf(lines[i].Text, dateLength, timeLength); !key.empty())
        messages.push_back({WM_LOAD_MEASUREMENT, 1, key});
  return messages;
}

}  // namespace BrowsePlan
