#pragma once

// A stand-in for the main program's side of the trend: a patient's
// examinations by moment, answering requests as the client does (the
// examination itself, or its nearest earlier or later neighbour, passing
// over provoked and lysis examinations unless the request includes them).

#include "trend/TrendModel.h"

#include <string>
#include <utility>
#include <vector>

struct TExamination {
  std::string Date;
  std::string Time;
  std::array<float, TrendSlots> Values{};
  std::array<float, TrendSlots> Predicted{};
  int Kind = 0;  // 0x08 bronchodilator, 0x10 provoked, 0x20 lysis
};

// What the main program answers to one request: the examination to add,
// or that the walk has reached the end in its direction.
struct TTrendAnswer {
  const TExamination* Found = nullptr;
  bool ReachedEnd = false;
};

inline TTrendAnswer FindExamination(const std::vector<TExamination>& exams, short flags, const std::string& key) {
  const auto allowed = [flags](const TExamination& exam) {
    return !((exam.Kind & 0x10) && !(flags & TrendFlags::IncludeProvoked)) &&
           !((exam.Kind & 0x20) && !(flags & TrendFlags::IncludeLysis));
  };
  int at = -1;
  for (int i = 0; i < static_cast<int>(exams.size()); ++i)
    if (exams[static_cast<std::size_t>(i)].Date + "@" + exams[static_cast<std::size_t>(i)].Time == key)
      at = i;
  if (at < 0)
    return {};
  const int step = (flags & TrendFlags::Earlier) ? -1 : (flags & TrendFlags::Later) ? 1 : 0;
  if (step == 0)
    return {allowed(exams[static_cast<std::size_t>(at)]) ? &exams[static_cast<std::size_t>(at)] : nullptr, false};
  for (int i = at + step; i >= 0 && i < static_cast<int>(exams.size()); i += step)
    if (allowed(exams[static_cast<std::size_t>(i)]))
      return {&exams[static_cast<std::size_t>(i)], false};
  return {nullptr, true};
}

class TFakeTrendClient {
public:
  explicit TFakeTrendClient(TTrendModel& model) : Model(model) {
    Model.SetRequest([this](short flags, const std::string& key) { Answer(flags, key); });
  }
  // Examinations in time order (the dates are "YYYY.MM.DD.", so text order).
  std::vector<TExamination> Examinations;
  std::vector<std::pair<short, std::string>> Requests;

  // The browser's first loading: every examination in order.
  void LoadAll(short filter) {
    for (const TExamination& exam : Examinations)
      Answer(filter, exam.Date + "@" + exam.Time);
  }
  void Add(const TExamination& exam, short flags) {
    Model.AddDataToTrendListBox(exam.Date, exam.Time, exam.Values, exam.Predicted,
                                TrendLine::MarkerOfKind(exam.Kind), flags);
  }

private:
  void Answer(short flags, const std::string& key) {
    Requests.emplace_back(flags, key);
    const TTrendAnswer answer = FindExamination(Examinations, flags, key);
    if (answer.ReachedEnd)
      ((flags & TrendFlags::Earlier) ? Model.FirstReached : Model.LastReached) = true;
    if (!answer.Found)
      return;
    if (answer.Found->Kind & 0x10)
      Model.IncludeProvoked = true;
    if (answer.Found->Kind & 0x20)
      Model.IncludeLysis = true;
    Add(*answer.Found, flags);
  }

  TTrendModel& Model;
};
