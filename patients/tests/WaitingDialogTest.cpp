#include "patients/WaitingDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QLabel* Line(TWaitingDialog& dialog, int id) { return dialog.findChild<QLabel*>(QString::number(id)); }
QProgressBar* Gauge(TWaitingDialog& dialog) {
  return dialog.findChild<QProgressBar*>(QString::number(TWaitingDialog::GaugeId));
}

TEST(WaitingDialog, ShowsItsTextsAndStepsItsBar) {
  TWaitingDialog dialog("Halvetra", "Opening the patient database", "Opening the table Names ...", nullptr);
  // Before it is shown nothing happens.
  dialog.DoOneStep();
  dialog.ModifyText(1, "early");
  EXPECT_EQ(dialog.GetGaugeValue(), 0);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.windowTitle(), "Halvetra");
  EXPECT_EQ(Line(dialog, TWaitingDialog::Line1Id)->text(), "Opening the patient database");

  dialog.ModifyText(2, "Opening the table Doctor ...");
  dialog.ModifyText(3, "ignored");
  EXPECT_EQ(Line(dialog, TWaitingDialog::Line2Id)->text(), "Opening the table Doctor ...");
  EXPECT_EQ(Line(dialog, TWaitingDialog::Line1Id)->text(), "Opening the patient database");

  dialog.SetStep(1);
  for (int i = 0; i < 5; ++i)
    dialog.DoOneStep();
  EXPECT_EQ(Gauge(dialog)->value(), 5);
  dialog.UpdateGauge(100);
  EXPECT_EQ(Gauge(dialog)->value(), 100);
  dialog.SetStep(30);
  dialog.DoOneStep();  // past the end it starts again
  EXPECT_EQ(dialog.GetGaugeValue(), 30);
  dialog.ResetGauge();
  EXPECT_EQ(Gauge(dialog)->value(), 0);
}

TEST(WaitingDialog, TheUserCannotCloseIt) {
  TWaitingDialog dialog("Halvetra", "one", "two", nullptr);
  ASSERT_TRUE(dialog.Execute());
  QTest::keyClick(&dialog, Qt::Key_Escape);
  QTest::keyClick(&dialog, Qt::Key_Return);
  dialog.close();
  dialog.Destroy(1);
  dialog.Destroy(2);
  QApplication::processEvents();
  EXPECT_TRUE(dialog.isVisible());

  dialog.Destroy(0);
  EXPECT_FALSE(dialog.isVisible());
  // Closed, it ignores everything.
  dialog.UpdateGauge(50);
  EXPECT_EQ(dialog.GetGaugeValue(), 0);
  EXPECT_FALSE(dialog.Execute());
}

}  // namespace
