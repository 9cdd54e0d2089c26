#include "platform/framework/ui/DialogCentring.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>

#include <gtest/gtest.h>

namespace {

TEST(DialogCentring, DialogsAreCentredInTheMainWindowsSizeAtTheOrigin) {
  struct Case {
    QSize dialog, main;
    TCentredGeometry expected;  // by hand from (main ± dialog) / 2, rounded toward zero
  };
  const Case cases[] = {
      {{400, 300}, {1024, 768}, {312, 234, 400, 300}},
      {{401, 301}, {1024, 768}, {311, 233, 401, 301}},  // smaller by an odd amount: size kept
      {{1000, 700}, {800, 600}, {-100, -50, 1000, 700}},  // larger: negative position
      {{1001, 701}, {800, 600}, {-100, -50, 1000, 700}},  // larger by an odd amount: one pixel less
      {{801, 600}, {800, 600}, {0, 0, 800, 600}},
      {{800, 600}, {800, 600}, {0, 0, 800, 600}},
  };
  for (const Case& c : cases) {
    const TCentredGeometry g = CentreInMainWindow(c.dialog, c.main);
    EXPECT_EQ(g.Left, c.expected.Left) << c.dialog.width() << "x" << c.dialog.height();
    EXPECT_EQ(g.Top, c.expected.Top) << c.dialog.width() << "x" << c.dialog.height();
    EXPECT_EQ(g.Width, c.expected.Width) << c.dialog.width() << "x" << c.dialog.height();
    EXPECT_EQ(g.Height, c.expected.Height) << c.dialog.width() << "x" << c.dialog.height();
  }
}

TEST(DialogCentring, ADialogIsCentredWhenShownWhereverTheMainWindowStands) {
  QMainWindow main;
  main.setGeometry(150, 100, 700, 500);
  main.show();
  QDialog dialog(&main);
  dialog.resize(300, 200);
  CenterOnShow(dialog);
  dialog.show();
  QApplication::processEvents();
  const QRect frame = dialog.frameGeometry();
  EXPECT_EQ(frame.topLeft(), QPoint((main.frameGeometry().width() - frame.width()) / 2,
                                    (main.frameGeometry().height() - frame.height()) / 2));
  EXPECT_EQ(frame.size(), QSize(300, 200) + (frame.size() - dialog.size()));
}

}  // namespace
