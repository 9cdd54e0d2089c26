#pragma once

// What the tests of the patient records' dialogs share: the English texts
// with a recording sink, a main window that records the help it is asked
// for, and a way to act on a modal dialog once it runs.

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/EventHandler.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// A control of a dialog by its id.
template <typename TWidget = QWidget>
TWidget* Control(const QWidget& dialog, int id) {
  auto* control = dialog.findChild<TWidget*>(QString::number(id));
  EXPECT_NE(control, nullptr) << "control " << id;
  return control;
}

inline void Click(const QWidget& dialog, int id) {
  if (auto* button = Control<QAbstractButton>(dialog, id))
    button->click();
}

// Runs `act` on the modal dialog that the next step opens.
inline void WhenModal(std::function<void(QWidget&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    if (QWidget* modal = QApplication::activeModalWidget())
      act(*modal);
    else
      ADD_FAILURE() << "no modal dialog";
  });
}

class THelpRecordingWindow final : public QMainWindow, public TEventHandler {
public:
  static const TResponseTable& ResponseTable() {
    static constexpr TResponseEntry entries[] = {
        Response::Message<&THelpRecordingWindow::EvShowHelp>(WM_SHOW_HELP),
    };
    static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
    return table;
  }
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  TResult EvShowHelp(TParam1 id, TParam2) {
    HelpIds.push_back(static_cast<int>(id));
    return 1;
  }

  std::vector<int> HelpIds;
};

class TDialogTest : public ::testing::Test {
protected:
  TDialogTest() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
    Main.resize(1000, 700);
    Main.show();
  }
  // No test leaves a message it did not expect.
  void TearDown() override {
    Sink.ExpectAllTaken();
  }
  std::vector<TUserMessage> TakeMessages() {
    std::vector<TUserMessage> messages;
    messages.swap(Sink.Messages);
    return messages;
  }
  std::string Ini() const { return (Folder / "Halvetra.ini").string(); }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  THelpRecordingWindow Main;
};
