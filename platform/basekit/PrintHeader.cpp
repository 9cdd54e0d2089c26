#include "platform/basekit/PrintHeader.h"

#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"
#include "platform/framework/Profile.h"

#include <cstring>
#include <ctime>

namespace {

// Texts of the header's lines.
constexpr int PatientText = 7020;
constexpr int BodyText = 7021;
constexpr int DoctorText = 7022;
constexpr int AlgorithmText = 7023;
constexpr int PrintedText = 7024;
constexpr int ActualAlgorithmText = 7025;
constexpr int SexAndBirthText = 7026;
constexpr int MaleText = 69;
constexpr int FemaleText = 70;
constexpr int FaceText = 53;

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return CLocale::Format("%04d.%02d.%02d.", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string Text(const TMessage* texts, int number, std::initializer_list<std::string> arguments) {
  return texts != nullptr ? texts->Format(number, arguments) : std::string();
}

// The text of a fixed-size field: up to its terminating zero, or the whole
// field when it fills it.
std::string FixedFieldText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

TPrintHeader::TPrintHeader(const TMessage* texts, float scaleX, float scaleY, std::string iniFile,
                           const PREDICTED_DATA& patient, std::string section)
    : PrintDate(Today), Texts(texts), ScaleX(scaleX), ScaleY(scaleY), IniFile(std::move(iniFile)),
      Section(std::move(section)), Patient(patient) {
  if (Texts != nullptr && Texts->HasText(FaceText))
    Face = Texts->LoadStringA(FaceText);
  ReadPrintStruct();
}

TPrintHeader::TPrintHeader(const TMessage* texts, float scaleX, float scaleY, std::string iniFile)
    : TPrintHeader(texts, scaleX, scaleY, std::move(iniFile), PREDICTED_DATA{}) {
  Calibration = true;
}

std::array<int, TPrintHeader::SelectionCount> TPrintHeader::DefaultSelection() {
  std::array<int, SelectionCount> selection{};
  for (int i = 0; i <= 13; ++i)
    selection[static_cast<std::size_t>(i)] = 1;
  selection[5] = 0;   // no table of its own
  selection[12] = 0;  // the second plethysmograph graph on request
  selection[NoteEntry] = 1;
  return selection;
}

bool TPrintHeader::IsOptionsDialog(short dialogId) {
  switch (dialogId) {
  case 20103: case 20124: case 20131: case 20137: case 20140: case 20146:
  case 20148: case 20149: case 20150: case 20151: case 20152: case 20153:
    return true;
  default:
    return false;
  }
}

std::vector<int> TPrintHeader::OfferedEntries(short dialogId) {
  if (!IsOptionsDialog(dialogId))
    return {};
  bool dfc = false, shutter = false, plethy = false;
  switch (dialogId) {
  case 20103: break;
  case 20146: dfc = true; break;
  case 20148: shutter = true; break;
  case 20149: dfc = shutter = true; break;
  case 20150: plethy = true; break;
  case 20151: dfc = plethy = true; break;
  case 20152: plethy = shutter = true; break;
  case 20153: dfc = plethy = shutter = true; break;
  default: return {};  // the note flag alone
  }
  std::vector<int> entries{0, 1, 2};
  if (dfc)
    entries.push_back(3);
  if (plethy)
    entries.push_back(4);
  if (shutter)
    entries.push_back(6);
  entries.insert(entries.end(), {7, 8, 9});
  if (dfc)
    entries.push_back(10);
  if (plethy)
    entries.insert(entries.end(), {11, 12});
  if (shutter)
    entries.push_back(13);
  entries.insert(entries.end(), {15, 44, NoteEntry});
  return entries;
}

void TPrintHeader::ReadPrintStruct() {
  Selection = DefaultSelection();
  Options.fill(0);
  NoteFlag = 1;
  if (IniFile.empty())
    return;
  const TProfile profile(Section, IniFile);
  const auto flag = [&](const std::string& key, int fallback) {
    const int value = profile.GetInt(key, fallback);
    return value == 0 || value == 1 ? value : fallback;
  };
  for (std::size_t i = 0; i < SelectionCount; ++i)
    Selection[i] = flag(CLocale::Format("Select%02zu", i), Selection[i]);
  for (std::size_t i = 0; i < OptionCount; ++i)
    Options[i] = static_cast<short>(flag(CLocale::Format("Option%02zu", i), Options[i]));
  NoteFlag = static_cast<short>(flag("Note", NoteFlag));
}

bool TPrintHeader::WritePrintStruct() const {
  if (IniFile.empty())
    return false;
  TProfile profile(Section, IniFile);
  bool written = true;
  for (std::size_t i = 0; i < SelectionCount; ++i)
    written = profile.WriteInt(CLocale::Format("Select%02zu", i), Selection[i] != 0 ? 1 : 0) && written;
  for (std::size_t i = 0; i < OptionCount; ++i)
    written = profile.WriteInt(CLocale::Format("Option%02zu", i), Options[i] != 0 ? 1 : 0) && written;
  return profile.WriteInt("Note", NoteFlag != 0 ? 1 : 0) && written;
}

void TPrintHeader::WritePrintText(TDrawSurface& surface, std::string_view text, int left, int top, int right,
                                  int bottom, int alignment, int points, int weight) const {
  const TTextAlign align = alignment == 1 ? TTextAlign::Centre : alignment == 2 ? TTextAlign::Right : TTextAlign::Left;
  const TTextStyle style{TUtil::LayoutFont(Face, points, ScaleY, weight), TColor::Black(), TColor::White(), false,
                         align};
  surface.TextInRect(TUtil::Scale(ScaleX, ScaleY, TRect{left, top, right, bottom}), text, style);
}

void TPrintHeader::DrawLine(TDrawSurface& surface, int x, int y, int length, bool vertical) const {
  surface.SetPen({TColor::Black(), std::max(1, static_cast<int>(static_cast<float>(PenWidth) * ScaleY)),
                  TPenStyle::Solid});
  const TPoint from = TUtil::Scale(ScaleX, ScaleY, TPoint{x, y});
  const TPoint to = TUtil::Scale(ScaleX, ScaleY, vertical ? TPoint{x, y + length} : TPoint{x + length, y});
  surface.Line(from, to);
}

std::string TPrintHeader::PatientLine() const {
  return Text(Texts, PatientText,
              {FixedFieldText(Patient.Name, PREDICTED_DATA::NameSize),
               FixedFieldText(Patient.Id, PREDICTED_DATA::IdSize)});
}

std::string TPrintHeader::SexAndBirthLine() const {
  // A birth date the patient block does not hold prints empty, not as 0000.00.00.
  const std::string born = Patient.BirthYear > 0 ? CLocale::Format("%04d.%02d.%02d.", Patient.BirthYear,
                                                                   Patient.BirthMonth, Patient.BirthDay)
                                                 : std::string();
  const std::string sex = Texts != nullptr ? Texts->LoadStringA(Patient.Sex == 1 ? MaleText : FemaleText) : "";
  return Text(Texts, SexAndBirthText, {sex, born});
}

void TPrintHeader::Frame(TDrawSurface& surface, std::string_view title, std::string_view second, int pages,
                         int page) {
  WritePrintText(surface, title, Left, 10, Right, 30, 1, 14);
  WritePrintText(surface, second, Left, 10, Right, 30, 0, 8, 400);
  WritePrintText(surface, CLocale::Format("%d/%d", page, pages), Left, 10, Right, 30, 2, 9);
}

void TPrintHeader::HeaderPrint(TDrawSurface& surface, std::string_view title, std::string_view second, int pages,
                               int page) {
  Frame(surface, title, second, pages, page);
  WritePrintText(surface, Author.Institute, Left, 34, Right, 46, 0, 10);
  WritePrintText(surface, Author.Address, Left, 46, Right, 58, 0, 9, 400);
  SetPenSize(2);
  DrawLine(surface, Left, 62, Right - Left, false);
  SetPenSize(1);
  if (!Calibration) {
    const bool imperial = Patient.Unit != 0;
    WritePrintText(surface, PatientLine(), Left, 66, Right, 80, 0, 10);
    WritePrintText(surface,
                   Text(Texts, BodyText,
                        {std::to_string(Patient.Age),
                         std::to_string(Patient.Height) + (imperial ? " in" : " cm"),
                         std::to_string(Patient.Weight) + (imperial ? " lb" : " kg")}),
                   Left, 80, Right, 92, 0, 9, 400);
    WritePrintText(surface, Text(Texts, DoctorText, {Author.Doctor}), Left, 92, Right, 104, 0, 9, 400);
    // Beside the doctor, the shortest line: beside the body measures it
    // would run into their weight.
    WritePrintText(surface, SexAndBirthLine(), Left, 92, Right, 104, 2, 9, 400);
    // Without a previous test there is no previous equation set to name;
    // a printout without predicted values (an audiogram) names none.
    const std::string algorithms = Algorithm1.empty() && Algorithm2.empty() ? std::string()
                                   : Algorithm2.empty() ? Text(Texts, ActualAlgorithmText, {Algorithm1})
                                                        : Text(Texts, AlgorithmText, {Algorithm1, Algorithm2});
    WritePrintText(surface, algorithms, Left, 104, Right, 116, 0, 9, 400);
  }
  WritePrintText(surface, Text(Texts, PrintedText, {PrintDate ? PrintDate() : std::string()}), Left,
                 Calibration ? 66 : 104, Right, Calibration ? 78 : 116, 2, 9, 400);
  SetPenSize(2);
  DrawLine(surface, Left, HeaderHeight - 6, Right - Left, false);
  SetPenSize(1);
  PrintY = HeaderHeight;
}

void TPrintHeader::SmallHeaderPrint(TDrawSurface& surface, std::string_view second, int pages, int page) {
  WritePrintText(surface, second, Left, 10, Right, 24, 0, 8, 400);
  WritePrintText(surface, CLocale::Format("%d/%d", page, pages), Left, 10, Right, 24, 2, 9);
  if (!Calibration)
    WritePrintText(surface, PatientLine(), Left, 24, Right, 36, 1, 9);
  SetPenSize(2);
  DrawLine(surface, Left, SmallHeaderHeight - 4, Right - Left, false);
  SetPenSize(1);
  PrintY = SmallHeaderHeight;
}

void TPrintHeader::CalibHeaderPrint(TDrawSurface& surface, std::string_view title, std::string_view second, int pages,
                                    int page) {
  HeaderPrint(surface, title, second, pages, page);
}
