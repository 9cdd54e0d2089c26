#pragma once

// The rules of the browser of a patient's tests: which commands the chosen
// lines allow, and which load messages (with their "date@time" keys) a
// load, a trend or a series sends to the program's client.

#include <string>
#include <string_view>
#include <vector>

namespace BrowsePlan {

// A line of the list as the examination index writes it, and whether it is chosen.
struct TLine {
  std::string Text;
  bool Selected = false;
};

struct TKinds {
  int Spiro = 0;  // spirometric lines chosen
  bool Audio = false;
  bool Rhino = false;  // lines of exactly one rhinomanometry kind
  // Load and print need exactly one kind.
  bool One() const { return (Spiro > 0) + Audio + Rhino == 1; }
  // A trend needs three spirometric tests at least.
  bool Trend() const { return Spiro > 2; }
};

// The kinds of the chosen lines; an audiogram only counts with the
// audiometer installed, a rhinomanometry only with the rhinomanometer.
TKinds Kinds(const std::vector<TLine>& lines, bool audioInstalled, bool rhinoInstalled);

struct TMessage {
  unsigned Message = 0;  // WM_LOAD_MEASUREMENT, WM_LOAD_AUDIOGRAM or WM_READ_TREND_DATA
  unsigned WParam = 0;
  std::string Key;       // "date@time"

  friend bool operator==(const TMessage&, const TMessage&) = default;
};

// The key of a line; empty when it holds no date or time.
std::string KeyOf(std::string_view line, std::size_t dateLength, std::size_t timeLength);

// The selection load: one line as the current test; of several, the first
// of the chosen kind in scan order (top down with date order 0, bottom up
// with 1) as the comparison and the first from the other end as the
// current test. In trend mode every chosen line of the kind goes to the
// trend with `trendFilter`.
std::vector<TMessage> SelectionLoad(const std::vector<TLine>& lines, const TKinds& kinds, int dateOrder,
                                    bool trendMode, unsigned trendFilter, std::size_t dateLength,
                                    std::size_t timeLength);
// The series load: every chosen spirometric line in scan order as a current test.
std::vector<TMessage> SeriesLoad(const std::vector<TLine>& lines, int dateOrder, std::size_t dateLength,
                                 std::size_t timeLength);

}  // namespace BrowsePlan
