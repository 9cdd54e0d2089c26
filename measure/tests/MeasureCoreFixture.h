#pragma once

// A measurement core over a temporary ini file, the English texts, a
// recording message sink, a client that records what it is sent and a
// clock the test sets.

#include "common/CommandNumbers.h"
#include "measure/core/MeasureCore.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

// The patient the exports' tests send: 60 years, 168 cm, 64 kg.
inline PREDICTED_DATA ExportedPatient() {
  PREDICTED_DATA patient{};
  patient.SetName("Kovacs Anna");
  patient.Age = 60;
  patient.Height = 168;
  patient.Weight = 64;
  return patient;
}

struct TSentMessage {
  unsigned Msg;
  TParam1 Kind;
  TParam2 Trial;
  friend bool operator==(const TSentMessage&, const TSentMessage&) = default;
};

class TFakeClient final : public TMeasureClient {
public:
  TResult SendToClient(unsigned msg, TParam1 wParam, TParam2 lParam) override {
    Sent.push_back({msg, wParam, lParam});
    if (OnMessage)
      OnMessage(msg, wParam, lParam);
    if (msg == WM_GET_HELP_MODE)
      return HelpMode ? 1 : 0;
    return Answers.empty() ? 1 : Answers[std::min(Sent.size(), Answers.size()) - 1];
  }
  TResult SendToMainWindow(unsigned msg, TParam1 wParam, TParam2 lParam) override {
    SentToMainWindow.push_back({msg, wParam, lParam});
    return msg == WM_GET_HELP_MODE && MainWindowHelpMode ? 1 : 0;
  }

  std::vector<TSentMessage> Sent;
  std::vector<TResult> Answers;  // by the number of the message; the last repeats
  std::function<void(unsigned, TParam1, TParam2)> OnMessage;
  bool HelpMode = false;
  std::vector<TSentMessage> SentToMainWindow;
  bool MainWindowHelpMode = false;  // the main window's own answer to WM_GET_HELP_MODE
};

class MeasureCoreTest : public ::testing::Test {
protected:
  MeasureCoreTest()
      : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"),
        Core(&Texts, &Client, MEASURE_FVC) {
    Texts.SetSink(&Sink);
    Core.SetIniFile(Ini.string());
    Core.SetClock([this] { return Now; });
  }

  // Every message a test provokes it takes out of the sink; any other fails.
  void TearDown() override {
    for (const TUserMessage& message : Sink.Messages)
      ADD_FAILURE() << "unexpected message: " << message.Text;
  }

  void WriteIni(std::string_view content) { Folder.Write("Halvetra.ini", content); }
  std::string ReadIni() const { return TTemporaryFolder::Read(Ini); }

  TTemporaryFolder Folder;
  std::filesystem::path Ini = Folder / "Halvetra.ini";
  TRecordingSink Sink;
  TMessage Texts;
  TFakeClient Client;
  TLocalMoment Now{2026, 3, 10, 12, 0, 0};
  TMeasureCore Core;
};
