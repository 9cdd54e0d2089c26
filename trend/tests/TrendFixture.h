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
  bool Allowed(const TExamination& exam, short flags) const {
    if ((exam.Kind & 0x10) && !(flags & TrendFlags::IncludeProvoked))
      return false;
    if ((exam.Kind & 0x20) && !(flags & TrendFlags::IncludeLysis))
      return false;
    return true;
  }

  void AddFound(const TExamination& exam, short flags) {
    if (exam.Kind & 0x10)
      Model.IncludeProvoked = true;
    if (exam.Kind & 0x20)
      Model.IncludeLysis = true;
    Add(exam, flags);
  }

  void Answer(short flags, const std::string& key) {
    Requests.emplace_back(flags, key);
    int at = -1;
    for (int i = 0; i < static_cast<int>(Examinations.size()); ++i)
      if (Examinations[static_cast<std::size_t>(i)].Date + "@" + Examinations[static_cast<std::size_t>(i)].Time == key)
        at = i;
    if (at < 0)
      return;
    const int step = (flags & TrendFlags::Earlier) ? -1 : (flags & TrendFlags::Later) ? 1 : 0;
    if (step == 0) {
      if (Allowed(Examinations[static_cast<std::size_t>(at)], flags))
        AddFound(Examinations[static_cast<std::size_t>(at)], flags);
      return;
    }
    for (int i = at + step; i >= 0 && i < static_cast<int>(Examinations.size()); i += step) {
      const TExamination& exam = Examinations[static_cast<std::size_t>(i)];
      if (Allowed(exam, flags)) {
        AddFound(exam, flags);
        return;
      }
    }
    (step < 0 ? Model.FirstReached : Model.LastReached) = true;
  }

  TTrendModel& Model;
};
