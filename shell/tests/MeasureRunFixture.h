#pragma once

// The program with a patient on the sheet and a measurement window whose
// trials replay the demonstration data on a manual link clock.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "measure/results/ParamList.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"

#include <QStringList>

#include <memory>
#include <random>
#include <string_view>

class TMeasureRunFixture : public TAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  // A man of 40, 180 cm and 80 kg on the sheet, the demonstration
  // configuration, and the window of the test opened from the menu.
  TMeasure& OpenTest(unsigned command) {
    Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=" + HardwareMode + "\n" + ExtraIni);
    Start();
    CreateDatabase();
    AddTestPatient();
    EXPECT_TRUE(Route(CM_OPEN_PATIENT));
    EXPECT_TRUE(Enabled(command));
    EXPECT_TRUE(Route(command));
    auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
    EXPECT_NE(window, nullptr);
    window->TMeasureInterrupt::SetClock(LinkClock);
    window->SeedRandom(Seed);
    return *window;
  }

  // The start as a tool button sends it, then the replay on the link clock
  // until the run ends by itself, within `steps` tenths of a second.
  void RunTrial(TMeasure& window, int steps = 800) {
    ASSERT_TRUE(Enabled(CM_START));
    ASSERT_TRUE(Route(CM_START));
    QApplication::processEvents();
    ASSERT_TRUE(window.IsRunning());
    for (int step = 0; step < steps && window.IsRunning(); ++step) {
      LinkClock->Advance(100);
      QApplication::processEvents();
    }
    ASSERT_FALSE(window.IsRunning());
  }

  // The first factor the window draws for a replayed trial: 0.75 to 1.49.
  float DrawnFactor() const {
    std::mt19937 random(Seed);
    return static_cast<float>((static_cast<int>(random() & 0x7FFFFFFF) % 75 + 75) * 0.01);
  }

  // The examination stored first, read back as the browser asks for it.
  void LoadFirstStoredExamination() {
    std::unique_ptr<TEngine> meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
    ASSERT_EQ(meet->GoTop(), 0);
    MeetRecordType stored;
    ASSERT_EQ(meet->GetData(stored), 0);
    const std::string key = FieldText(stored.Date) + "@" + FieldText(stored.Time);
    SendMessage(&Client(), WM_LOAD_MEASUREMENT, 1, reinterpret_cast<TParam2>(key.c_str()));
  }

  // The list's line of a parameter, its columns split at blanks.
  QStringList Line(TMeasure& window, std::string_view name) {
    for (const std::string& line : window.GetParamList()->GetLines())
      if (line.rfind(std::string(name) + " ", 0) == 0)
        return QString::fromStdString(line).split(' ', Qt::SkipEmptyParts);
    ADD_FAILURE() << name << " is not listed";
    return {};
  }

  // The patient on the sheet: the man of forty.
  virtual void AddTestPatient() {
    PatientRecordType man = ManOfForty();
    EXPECT_EQ(Names()->AddPatientRecord(man, 1), 0);
  }
  std::string ExtraIni;  // more of the settings file
  std::string HardwareMode = "0";  // [Hardware] Mode: 1 the rhinomanometer

  static constexpr unsigned Seed = 12345;
  std::shared_ptr<TManualLinkClock> LinkClock = std::make_shared<TManualLinkClock>();
};
