// The patient data sheet's window on a real database: its layouts, its
// start, and what the user does with a patient.

#include "patients/tests/PatientDialogFixture.h"

#include "common/CommandNumbers.h"
#include "patients/PatientControls.h"
#include "patients/SheetFrame.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

namespace {

using namespace PatientControl;

TEST_F(PatientDialogTest, EveryLayoutHasItsControlsAndFitsItsFrame) {
  CreateDatabase();
  const std::int32_t doctor = AddDoctor("Dr. Weiss", true, true, "Main Street 1");
  AddPatient("Bela Nagy", "B-2", "1970.01.01.", doctor);
  AddPatient("Anna Kovacs", "A-1", "1980.05.20.", doctor);

  const struct {
    int PageType;
    TPageLayout Layout;
    const char* Picture;
  } layouts[] = {{2, TPageLayout::Full, "patient-sheet-full.png"},
                 {1, TPageLayout::Medium, "patient-sheet-medium.png"},
                 {0, TPageLayout::Small, "patient-sheet-small.png"}};
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.Picture);
    const TSheetFrame frame = SheetFrameForPageType(layout.PageType);
    TPatient& sheet = Open(static_cast<short>(frame.ResourceId));
    ASSERT_FALSE(sheet.IsDatabaseUnusable());
    EXPECT_EQ(sheet.GetLayout(), layout.Layout);
    for (const TPatientControl& control : PatientControls()) {
      QWidget* widget = sheet.findChild<QWidget*>(QString::number(control.Id));
      EXPECT_EQ(widget != nullptr, control.In(layout.Layout)) << control.Id;
      if (auto* label = qobject_cast<QLabel*>(widget)) {
        EXPECT_EQ(label->text().toStdString(), Text(control.Texts.front())) << control.Id;
      }
      if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        for (std::size_t page = 0; page < control.Texts.size(); ++page)
          EXPECT_EQ(tabs->tabText(static_cast<int>(page)).toStdString(), Text(control.Texts[page]));
      }
    }
    // The first patient in name order, with the doctor of the record.
    EXPECT_EQ(Shown(Name), "Anna Kovacs");
    EXPECT_EQ(Shown(Identifier), "A-1");
    EXPECT_EQ(Shown(Date), "1980.05.20.");
    EXPECT_EQ(Shown(Height), "175 cm");
    EXPECT_EQ(Shown(Weight), "72 kg");
    EXPECT_EQ(Shown(Sex), Text(69));
    EXPECT_EQ(Shown(TreatingDoctor), "Dr. Weiss");
    // The sheet fits the frame the program opens it in (less its title bar).
    const QSize needed = sheet.minimumSizeHint();
    EXPECT_LE(needed.width(), frame.Width) << needed.width();
    EXPECT_LE(needed.height(), frame.Height - 30) << needed.height();
    sheet.resize(frame.Width, frame.Height - 30);
    SavePicture(sheet, layout.Picture);
    Sheet.reset();
  }
}

}  // namespace
