#include "measure/tests/MeasureWindowFixture.h"

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

using MeasureWindow = MeasureWindowFixture;

TEST_F(MeasureWindow, FitsTheScreenWithItsControlsInPlace) {
  TMeasure& w = Open(MEASURE_FVC);
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
  TMeasure& w = Open(MEASURE_FVC, Adult(), true);
  EXPECT_EQ(w.GetNoteEdit(), nullptr);
  EXPECT_EQ(w.GetNote(), "");
  TMeasure inert(1.0f, 1.0f, MEASURE_FVC, nullptr, "", 0, Adult(), nullptr, 1.0f, false, &Client);
  EXPECT_EQ(inert.GetParamList(), nullptr);
  EXPECT_EQ(inert.GetNoteEdit(), nullptr);
}

TEST_F(MeasureWindow, TheExportButtonOpensItsDialogInAStageViewToo) {
  for (const bool stageView : {false, true}) {
    TMeasure& w = Open(MEASURE_FVC, Adult(), stageView);
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
  TMeasure& w = Open(MEASURE_FVC);
  w.KeepOpen();
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(Client.Sent.empty());
  EXPECT_TRUE(w.close());
  ASSERT_EQ(Client.Sent.size(), 1u);
  EXPECT_EQ(Client.Sent[0].Msg, WM_COMMAND);
  EXPECT_EQ(Client.Sent[0].WParam, CM_MEASURE_CLOSED);
}

TEST_F(MeasureWindow, NoteButtonOpensAndClosesTheComparisonNotes) {
  TMeasure& w = Open(MEASURE_FVC);
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
  TMeasure& w = Open(MEASURE_FVC);
  QTest::keyClicks(w.GetNoteEdit(), QString(70, 'n'));
  EXPECT_EQ(w.GetNote().size(), 60u);
  static_cast<TPredictedList*>(w.GetPredictedList())->AddString(QString(20, 'y'));
  EXPECT_EQ(w.GetPredictedList()->itemText(w.GetPredictedList()->count() - 1).size(), 15);
}

}  // namespace
