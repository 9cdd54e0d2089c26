#pragma once

// Starts the application in a temporary working folder with a fake clock
// and a sink that records every message instead of showing it. A test
// takes the messages it provokes (Shown); one it did not take fails it.
// Each test starts and ends with the instrument link's statics as a fresh
// program has them: a window closed by one test must not leave its
// measure mode to the next one in the same process.

#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/CommandEnabler.h"
#include "platform/framework/ui/CommandActions.h"
#include "platform/portkit/tests/support/LinkStatics.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/MdiClient.h"
#include "shell/tests/FakeClock.h"
#include "shell/tests/WorkingFolder.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TestDatabase.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

class TAppFixture : public ::testing::Test {
protected:
  TAppFixture() { ResetLinkStatics(); }

  // A start without "-d" on a fresh folder is a first installation: unless
  // a test asks for the real configuration sheets, they do nothing.
  // The instrument choice, asked when several instruments are installed
  // (the demonstration installs all), is cancelled unless a test asks for
  // the program's own dialog (SelectInstrument = nullptr).
  static TAppDialogs QuietSheets() {
    TAppDialogs dialogs;
    dialogs.ConfigurationSheets.fill([] {});
    dialogs.SelectInstrument = [](const std::string&, const std::array<std::string, 3>&) { return 2; };  // IDCANCEL
    return dialogs;
  }

  // Constructs the application: the greeting is up, the settings are read.
  THalvetraApp& Construct(std::string commandLine = "-d", int showCommand = 1) {
    TAppOptions options;
    options.CommandLine = std::move(commandLine);
    options.ShowCommand = showCommand;
    options.Clock = &Clock;
    options.Sink = &Sink;
    options.ProgramFolder = Folder.Path();
    options.LanguageFolder = LanguageFolder;
    options.Dialogs = Dialogs;
    options.Windows = Windows;
    options.Store = Store;
    options.StageClock = StageClock;
    App = std::make_unique<THalvetraApp>(std::move(options));
    return *App;
  }

  // Constructs it and builds its windows.
  THalvetraApp& Start(std::string commandLine = "-d", int showCommand = 1) {
    Construct(std::move(commandLine), showCommand);
    App->InitMainWindow();
    QApplication::processEvents();
    return *App;
  }

  void TearDown() override {
    App.reset();
    ResetLinkStatics();
    Sink.ExpectAllTaken();
  }

  THalvetraMDIClient& Client() { return *App->GetClient(); }

  // The database where the default settings look for it, every table empty.
  void CreateDatabase() { CreateTestDatabase(Folder / "Database", Folder / "Database/Data", &App->GetMessages()); }
  // A stored patient of that name and identifier.
  void AddPatient(std::string_view name, std::string_view id) {
    PatientRecordType patient;
    SetFieldText(patient.Name, name);
    SetFieldText(patient.Id, id);
    ASSERT_EQ(Names()->AddPatientRecord(patient, 1), 0);
  }
  // Its patient table, open as another program would open it.
  std::unique_ptr<TEngine> Names() { return OpenTestTable(Folder / "Database/Data", "names.db", &App->GetMessages()); }

  // A command sent along the command chain, as a menu item sends it.
  bool Route(unsigned id) { return App->GetActions()->Chain().Route(id); }
  // What the enablers along the chain say of a command now.
  bool Enabled(unsigned id) {
    TCommandEnabler enabler(id);
    App->GetActions()->Chain().Enable(enabler);
    return enabler.GetEnabled();
  }

  // Whether the text of that number, with these arguments, was shown; it
  // is taken, so it counts as expected.
  bool Shown(int textNumber, std::initializer_list<std::string> arguments = {}) {
    const TMessage& texts = App->GetMessages();
    return Sink.Take(arguments.size() == 0 ? texts.LoadStringA(textNumber) : texts.Format(textNumber, arguments));
  }

  TWorkingFolder Folder;
  TFakeClock Clock;
  TRecordingSink Sink;
  TAppDialogs Dialogs = QuietSheets();
  TComponentFactories Windows;
  TExaminationStore* Store = nullptr;
  std::function<TStageTime()> StageClock;
  std::filesystem::path LanguageFolder;  // beside the program when empty
  std::unique_ptr<THalvetraApp> App;
};
