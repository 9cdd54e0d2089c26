// The patient's note printed alone: the print commands are enabled while
// the note is the active child, the options dialog comes first, and the
// preview shows the note's pages.

#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "patients/PatientNote.h"
#include "platform/basekit/ui/PrintOptionsDialog.h"
#include "records/window/ApxPreviewWin.h"
#include "shell/app/MdiClient.h"
#include "testing/Pictures.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>

namespace {

class NotePrint : public TAppFixture {};

TEST_F(NotePrint, TheNoteAlonePrintsThroughOptionsAndPreview) {
  Start();
  CreateDatabase();
  AddPatient("Anna Kovacs", "1");
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  EXPECT_FALSE(Enabled(CM_FILEPRINT)) << "the sheet prints nothing of its own";
  ASSERT_TRUE(Route(CM_PATIENT_NOTE));
  TPatientNote* note = Client().GetNote();
  ASSERT_NE(note, nullptr);
  note->Edit().setPlainText("Asthma since 1990.\nNo smoking.");
  EXPECT_TRUE(Enabled(CM_FILEPRINT));
  EXPECT_TRUE(Enabled(CM_FILEPRINTPREVIEW));
  EXPECT_TRUE(Enabled(CM_FILEPRINTERSETUP));

  // The options dialog, then the preview; each answered once it is up.
  bool optionsSeen = false, previewSeen = false, pageDrawn = false;
  QString display;
  QTimer::singleShot(0, [&] {
    auto* options = dynamic_cast<TPrintOptionsDialog*>(QApplication::activeModalWidget());
    if (options == nullptr) {
      ADD_FAILURE() << "no options dialog";
      return;
    }
    optionsSeen = true;
    options->findChild<QPushButton*>("1")->click();
    QTimer::singleShot(0, [&] {
      auto* preview = dynamic_cast<TApxPreviewWin*>(QApplication::activeModalWidget());
      if (preview == nullptr) {
        ADD_FAILURE() << "no preview";
        return;
      }
      previewSeen = true;
      display = preview->PageDisplay();
      // The note's page names the patient the sheet shows.
      const QImage page = preview->View(1)->grab().toImage();
      pageDrawn = !page.isNull();
      SavePicture(*preview, "note-print-preview.png");
      preview->done(2);
    });
  });
  Route(CM_FILEPRINTPREVIEW);
  EXPECT_TRUE(optionsSeen);
  EXPECT_TRUE(previewSeen);
  EXPECT_EQ(display.toStdString(), "Page 1");
  EXPECT_TRUE(pageDrawn);
}

}  // namespace
