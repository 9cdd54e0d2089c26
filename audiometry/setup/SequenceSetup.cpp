#include "audiometry/setup/SequenceSetup.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* Section = "Audiometer Automatic Sequence";
constexpr int TextControl = 529;
constexpr int TextBasic = 530;

std::string Key(const char* prefix, std::size_t number) { return prefix + std::to_string(number); }

}  // namespace

TSequenceSetup TSequenceSetup::Read(const std::string& iniFile) {
  const TProfile p(Section, iniFile);
  TSequenceSetup s;
  s.FirstEar = p.GetInt("FirstEar", 0) == 0 ? 0 : 1;
  s.IterationType = p.GetInt("IterationType", 0) == 0 ? 0 : 1;
  s.Repetitions = p.GetInt("NumberOfRepetition", 5);
  s.EqualLevels = p.GetInt("NumberOfEqualSoundLevels", 3);
  s.Tolerance = std::clamp(p.GetInt("Tolerance", 5), 0, 20);
  for (std::size_t i = 0; i < MaxItems; ++i) {
    s.Defaults[i] = p.GetInt(Key("DefTest", i), s.Defaults[i]);
    // A key written empty ends the list there; only a missing key takes
    // the default sequence's value.
    const std::string text = p.GetString(Key("Test", i), "-");
    const int hz = text == "-" ? s.Defaults[i] : std::atoi(text.c_str());
    if (hz > 0)
      s.Items.push_back(hz);
  }
  return s;
}

bool TSequenceSetup::Write(const std::string& iniFile) const {
  TProfile p(Section, iniFile);
  bool ok = p.WriteInt("FirstEar", FirstEar) && p.WriteInt("IterationType", IterationType) &&
            p.WriteInt("NumberOfRepetition", Repetitions) && p.WriteInt("NumberOfEqualSoundLevels", EqualLevels) &&
            p.WriteInt("Tolerance", Tolerance);
  for (std::size_t i = 0; ok && i < MaxItems; ++i)
    ok = i < Items.size() ? p.WriteInt(Key("Test", i), Items[i]) : p.WriteString(Key("Test", i), "");
  return ok && p.Flush();
}

bool TSequenceSetup::IsControl(std::size_t index) const {
  return index > 0 && index < Items.size() &&
         std::find(Items.begin(), Items.begin() + static_cast<std::ptrdiff_t>(index), Items[index]) !=
             Items.begin() + static_cast<std::ptrdiff_t>(index);
}

bool TSequenceSetup::HasControl() const {
  for (std::size_t i = 1; i < Items.size(); ++i)
    if (IsControl(i))
      return true;
  return false;
}

std::string TSequenceSetup::ItemText(std::size_t index, const TMessage* texts) const {
  std::string text = std::to_string(Items.at(index));
  const auto mark = [texts](int number) { return texts ? " " + texts->LoadStringA(number) : std::string(); };
  if (index == 0)
    text += mark(TextBasic);
  else if (IsControl(index))
    text += mark(TextControl);
  return text;
}

TSequenceSetup::TAdd TSequenceSetup::Add(int hz) {
  if (!CanAdd())
    return TAdd::Full;
  const auto count = std::count(Items.begin(), Items.end(), hz);
  if (count == 0) {
    Items.push_back(hz);
    return TAdd::Added;
  }
  if (Items.front() != hz)
    return TAdd::NotTheBasicTest;
  if (count >= 2)
    return TAdd::RepeatedTwice;
  Items.push_back(hz);
  return TAdd::Added;
}

void TSequenceSetup::MoveUp(std::size_t index) {
  if (CanMoveUp(index))
    std::swap(Items[index], Items[index - 1]);
}

void TSequenceSetup::MoveDown(std::size_t index) {
  if (CanMoveDown(index))
    std::swap(Items[index], Items[index + 1]);
}

int TSequenceSetup::Delete(std::size_t index) {
  if (index >= Items.size())
    return Items.empty() ? -1 : 0;
  Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(index));
  if (Items.empty())
    return -1;
  return index == 0 ? 0 : static_cast<int>(index - 1);
}

void TSequenceSetup::Default() {
  Items.clear();
  for (int hz : Defaults)
    if (hz > 0)
      Items.push_back(hz);
}

void TSequenceSetup::KeepCountsInOrder() {
  if (Repetitions <= 0) {
    Repetitions = EqualLevels = 1;
    return;
  }
  if (EqualLevels > Repetitions)
    EqualLevels = Repetitions;
  if (EqualLevels <= 0)
    EqualLevels = 1;
}

void TSequenceSetup::StepTolerance(int direction) {
  Tolerance = std::clamp(Tolerance + (direction > 0 ? 5 : -5), 0, 20);
}
