#pragma once

// What the tests of the patient sheet share: the program's English texts
// with a recording message sink, a window that records what the sheet asks
// of it, a client that records the messages it receives, a fixed clock and
// the patient table in memory.

#include "patients/PatientSheet.h"
#include "patients/tests/MemoryPatientDatabase.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "testing/RecordingSink.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRecordingView final : public TPatientSheetView {
public:
  void ControlChanged(int controlId) override { Changed.push_back(controlId); }
  void FocusControl(int controlId, bool selectAll) override { Focused.push_back({controlId, selectAll}); }
  void SetHourGlass(bool on) override { HourGlass.push_back(on); }

  struct TFocus {
    int Id;
    bool SelectAll;
  };
  std::vector<int> Changed;
  std::vector<TFocus> Focused;
  std::vector<bool> HourGlass;
};

// Stands for the main window's client: answers the two messages the sheet sends.
class TRecordingClient final : public TEventHandler {
public:
  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  TResult EvCloseChildWindows() {
    Received.push_back("close child windows");
    return 1;
  }
  void EvCloseAllTempFiles() { Received.push_back("close all temp files"); }

  std::vector<std::string> Received;
};

// A message sink that can act while its message is showing, as a message
// box does when it takes the focus away from a field.
class TActingSink final : public TMessageSink {
public:
  int Show(const TUserMessage& message) override {
    Messages.push_back(message);
    if (WhileShowing)
      WhileShowing();
    return 1;
  }

  std::vector<TUserMessage> Messages;
  std::function<void()> WhileShowing;
};

class PatientSheetTest : public ::testing::Test {
protected:
  PatientSheetTest();

  // A sheet in the given layout, not yet on the table.
  TPatientSheet& MakeSheet(TPatientSheetSettings settings = {});
  // A sheet on the memory table, shown and active as after its start.
  TPatientSheet& StartSheet(TPatientSheetSettings settings = {});

  // The user types into a field and leaves it.
  void Type(int controlId, std::string text);
  void TypeAndLeave(int controlId, std::string text);

  // A complete patient, as the table would hold it.
  static TPatientFields Patient(std::string name, std::string id, std::string birthDate);

  std::string Text(int number) const { return Texts.LoadStringA(number); }
  // The texts of the field messages shown so far.
  std::vector<std::string> Shown() const;
  bool SaveEnabled();
  bool Enabled(unsigned command);

  TMessage Texts;
  TActingSink Sink;
  TRecordingView View;
  TRecordingClient Client;
  TMemoryPatientDatabase Database;
  TCalendarDate Today{2024, 6, 15};
  std::unique_ptr<TPatientSheet> Sheet;
};
