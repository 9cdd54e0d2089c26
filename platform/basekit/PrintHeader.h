#pragma once

// TPrintHeader: the head of every printed page (title, page "p/N",
// institute, patient, doctor, both equation sets and the print date) and
// the print options the user chose, kept in the settings file's section
// [Print Struct]. The headers are laid out on the 800-unit page and drawn
// through a drawing surface scaled by the header's two factors.
//
// [Print Struct]: "Option00" .. "Option15" the options block handed to the
// printed window, "Select00" .. "Select45" the selection array (0 or 1
// each: the tables 0 to 6, the graphs 7 to 13, 15 the whole FVC curve, 44
// the graphs scaled to the upper limit of normal, 45 the note), "Note" the
// note flag. A value out of range takes its default.

#include "common/PredictedData.h"
#include "platform/basekit/DrawSurface.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TMessage;

class TPrintHeader {
public:
  static constexpr std::string_view DefaultSection = "Print Struct";
  static constexpr std::size_t OptionCount = 16;
  static constexpr std::size_t SelectionCount = 46;
  static constexpr int NoteEntry = 45;
  static constexpr int Left = 51;
  static constexpr int Right = 741;

  struct AUTHOR_DATA {
    std::string Doctor;     // at most 31 characters
    std::string Institute;  // the institute's name line
    std::string Address;    // its second line
  };

  // The general header of a patient's printout.
  TPrintHeader(const TMessage* texts, float scaleX, float scaleY, std::string iniFile, const PREDICTED_DATA& patient,
               std::string section = std::string(DefaultSection));
  // The calibration header: no patient.
  TPrintHeader(const TMessage* texts, float scaleX, float scaleY, std::string iniFile);

  // The options of the settings file; the defaults print every table and
  // graph, the largest FVC loop and the note.
  void ReadPrintStruct();
  bool WritePrintStruct() const;
  static std::array<int, SelectionCount> DefaultSelection();

  std::array<short, OptionCount> Options{};      // the first field
  std::array<int, SelectionCount> Selection{};   // the second field
  std::string Algorithm1;                        // equation set of the actual test
  std::string Algorithm2;                        // of the pre test
  AUTHOR_DATA Author;
  bool NoProgress = true;
  short NoteFlag = 1;
  int PrintY = 0;  // the line below the header just printed, layout units

  void GetFaktors(float& scaleX, float& scaleY) const {
    scaleX = ScaleX;
    scaleY = ScaleY;
  }
  void SetFaktors(float scaleX, float scaleY) {
    ScaleX = scaleX;
    ScaleY = scaleY;
  }

  // Heights in layout units.
  static constexpr int HeaderHeight = 128;
  static constexpr int SmallHeaderHeight = 44;
  int CalculateHeaderHeight() const { return HeaderHeight; }
  int CalculateSmallHeaderHeight() const { return SmallHeaderHeight; }

  // Page `page` of `pages`: title, second text, page number, institute,
  // patient, doctor, equation sets and print date. PrintY goes below it.
  void HeaderPrint(TDrawSurface& surface, std::string_view title, std::string_view second, int pages, int page);
  // The later pages: second text, patient and page number.
  void SmallHeaderPrint(TDrawSurface& surface, std::string_view second, int pages, int page);
  // The calibration page: title, second text, page, institute and date.
  void CalibHeaderPrint(TDrawSurface& surface, std::string_view title, std::string_view second, int pages, int page);

  // A text on one line in a layout rectangle: alignment 0 left, 1 centred, 2 right.
  void WritePrintText(TDrawSurface& surface, std::string_view text, int left, int top, int right, int bottom,
                      int alignment, int points, int weight = 700) const;
  // A line of `length` from (x, y), across (vertical false) or down.
  void DrawLine(TDrawSurface& surface, int x, int y, int length, bool vertical) const;
  void SetPenSize(int width) { PenWidth = width; }

  // The selection entries an options dialog offers: the tables and graphs
  // of the installed instruments (20103, 20146, 20148 to 20153), entries
  // 15 and 44, and the note (45). The rhinomanometry, trend, audiogram and
  // note dialogs (20137, 20124, 20131, 20140) offer the note flag alone:
  // an empty list. Nothing for another id.
  static std::vector<int> OfferedEntries(short dialogId);
  static bool IsOptionsDialog(short dialogId);

  // The print date's source (today by default), for tests.
  std::function<std::string()> PrintDate;
  // The face of the printed texts (text 53 when there is a text store).
  std::string Face = "Courier New";

private:
  void Frame(TDrawSurface& surface, std::string_view title, std::string_view second, int pages, int page);
  std::string PatientLine() const;
  // The patient's sex and birth date, printed at the right of the doctor's line.
  std::string SexAndBirthLine() const;

  const TMessage* Texts;
  float ScaleX;
  float ScaleY;
  std::string IniFile;
  std::string Section;
  PREDICTED_DATA Patient{};
  bool Calibration = false;
  int PenWidth = 1;
};
