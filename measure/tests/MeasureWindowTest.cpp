#include "measure/window/Measure.h"

#include "common/CommandNumbers.h"
#include "measure/results/ParamList.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/ui/DdeDialog.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

// Stands for the program's client: records what the window sends it.
class TClientRecorder final : public TEventHandler {
public:
  struct TSent {
    unsigned Msg;
    TParam1 WParam;
  };
  std::vector<TSent> Sent;
  TResult Answer = 1;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    if (msg == WM_GET_HELP_MODE)
      return 0;
    if (msg == WM_COMMAND)
      Sent.push_back({msg, wParam});
    return Answer;
  }
};

PREDICTED_DATA Patient() {
  PREDICTED_DATA p;
  p.SetName("Test Man");
  p.Age = 40;
  p.Height = 180;
  p.Weight = 80;
  p.Sex = 1;
  return p;
}

class MeasureWindow : public ::testing::Test {
protected:
  MeasureWindow() { Texts.SetSink(&Sink); }
  ~MeasureWindow() override {
    Window.reset();
    Sink.ExpectAllTaken();
  }

  TMeasure& Open(short type = MEASURE_FVC, bool stageView = false, float xs = 1.6f, float ys = 800.0f / 600.0f) {
    Window = std::make_unique<TMeasure>(xs, ys, type, &Texts, (Folder / "Halvetra.ini").string(), short{0},
                                        Patient(), nullptr, 1.0f, stageView, &Client);
    Window->SetupWindow();
    Window->SetMeasureMode(type);
    Window->show();
    return *Window;
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TClientRecorder Client;
  std::unique_ptr<TMeasure> Window;
};

TEST_F(MeasureWindow, FitsTheScreenWithItsControlsInPlace) {
  TMeasure& w = Open();
  // 753 x 485 design pixels at the scale of a 1280 x 800 screen.
  EXPECT_EQ(w.width(), 1204);
  EXPECT_EQ(w.height(), 646);
  EXPECT_LE(w.width(), 1280);
  EXPECT_LE(w.height(), 800);
  ASSERT_NE(w.GetNoteEdit(), nullptr);
  EXPECT_EQ(w.GetNoteEdit()->objectName(), "5400");
  EXPECT_EQ(w.GetNoteEdit()->geometry(), QRect(169, 46, 782, 33));
  EXPECT_EQ(w.GetNoteEdit()->maxLength(), 60);
  ASSERT_NE(w.GetPredictedList(), nullptr);
  EXPECT_EQ(w.GetPredictedList()->count(), 7);
  EXPECT_EQ(w.GetPredictedList()->currentText(), "ECCS");
  ASSERT_NE(w.GetNoteButton(), nullptr);
  EXPECT_EQ(w.GetNoteButton()->text(), QString(QChar(WingDingButton::Closed)));
  ASSERT_NE(w.GetParamListView(), nullptr);
  // The offscreen screen is neither of the known widths: the 800 layout.
  // 1280 x 800 is no screen of the list's table: the 800-pixel row scaled.
  EXPECT_EQ(w.GetParamListView()->geometry(), QRect(512, 113, 675, 257));
  SavePicture(w, "measure-window-fvc-empty.png");
}

TEST_F(MeasureWindow, StageViewHasNoNoteAndWithoutTextsTheWindowIsInert) {
  TMeasure& w = Open(MEASURE_FVC, true);
  EXPECT_EQ(w.GetNoteEdit(), nullptr);
  EXPECT_EQ(w.GetNote(), "");
  TMeasure inert(1.0f, 1.0f, MEASURE_FVC, nullptr, "", 0, Patient(), nullptr, 1.0f, false, &Client);
  EXPECT_EQ(inert.GetParamList(), nullptr);
  EXPECT_EQ(inert.GetNoteEdit(), nullptr);
}

TEST_F(MeasureWindow, TheExportButtonOpensItsDialogInAStageViewToo) {
  for (const bool stageView : {false, true}) {
    TMeasure& w = Open(MEASURE_FVC, stageView);
    QString asked;
    QTimer cancel;
    cancel.setSingleShot(true);
    QObject::connect(&cancel, &QTimer::timeout, [&asked] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        asked = dialog->objectName();
        dialog->reject();
      }
    });
    cancel.start(0);
    w.DispatchCommand(CM_DDE);
    EXPECT_EQ(asked, QString::number(TDdeDialog::TemplateId)) << "stage view " << stageView;
  }
}

TEST_F(MeasureWindow, ClosingTellsTheClientUnlessItMustStayOpen) {
  TMeasure& w = Open();
  w.KeepOpen();
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(Client.Sent.empty());
  EXPECT_TRUE(w.close());
  ASSERT_EQ(Client.Sent.size(), 1u);
  EXPECT_EQ(Client.Sent[0].Msg, WM_COMMAND);
  EXPECT_EQ(Client.Sent[0].WParam, CM_MEASURE_CLOSED);
}

TEST_F(MeasureWindow, NoteButtonOpensAndClosesTheComparisonNotes) {
  TMeasure& w = Open();
  w.SetNote(1, "");
  w.SetNote(2, "before the drug");
  w.SetUnsavedResults(true);
  QTest::keyClicks(w.GetNoteEdit(), "after the drug");
  QTest::mouseClick(w.GetNoteButton(), Qt::LeftButton);
  ASSERT_NE(w.GetNoteWindow(), nullptr);
  EXPECT_EQ(w.GetNoteButton()->text(), QString(QChar(WingDingButton::Open)));
  const QString text = static_cast<QTextEdit*>(w.GetNoteWindow())->toPlainText();
  const QStringList lines = text.split('\n');
  ASSERT_EQ(lines.size(), 4);
  // With unsaved results the typed note is the actual one.
  EXPECT_EQ(lines[1].trimmed(), "after the drug");
  EXPECT_EQ(lines[3].trimmed(), "before the drug");
  EXPECT_TRUE(static_cast<QTextEdit*>(w.GetNoteWindow())->isReadOnly());
  SavePicture(w, "measure-window-note-open.png");
  QTest::mouseClick(w.GetNoteButton(), Qt::LeftButton);
  EXPECT_EQ(w.GetNoteWindow(), nullptr);
  EXPECT_EQ(w.GetNoteButton()->text(), QString(QChar(WingDingButton::Closed)));
  // Typing marks the note changed; setting it does not.
  EXPECT_TRUE(w.NoteChanged);
}

TEST_F(MeasureWindow, NoteEditTakesSixtyCharactersAndTheListFifteen) {
  TMeasure& w = Open();
  QTest::keyClicks(w.GetNoteEdit(), QString(70, 'n'));
  EXPECT_EQ(w.GetNote().size(), 60u);
  static_cast<TPredictedList*>(w.GetPredictedList())->AddString(QString(20, 'y'));
  EXPECT_EQ(w.GetPredictedList()->itemText(w.GetPredictedList()->count() - 1).size(), 15);
}

}  // namespace
