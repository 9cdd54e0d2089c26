#pragma once

// The program on an instrument the simulator plays on a pseudo-terminal:
// a man of forty on the sheet, the measurement window a command opens, and
// the event loop run until the instrument has done something or a real
// time has passed (the simulator keeps its own clock).

#include "common/CommandNumbers.h"
#include "measure/window/Measure.h"
#include "shell/tests/AppFixture.h"
#include "shell/tests/BrowserPick.h"
#include "shell/tests/ManOfForty.h"

#include <QApplication>
#include <QElapsedTimer>

#include <functional>
#include <string>

class TInstrumentAppFixture : public TAppFixture {
protected:
  TMeasure* OpenForManOfForty(unsigned command, short mode) {
    CreateDatabase();
    PatientRecordType man = ManOfForty();
    EXPECT_EQ(Names()->AddPatientRecord(man, 1), 0);
    EXPECT_TRUE(Route(CM_OPEN_PATIENT));
    EXPECT_TRUE(Enabled(command)) << "the instrument of command " << command << " is installed";
    EXPECT_TRUE(Route(command));
    auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
    EXPECT_NE(window, nullptr);
    if (window) {
      EXPECT_EQ(window->GetMeasureMode(), mode);
    }
    return window;
  }

  // The window's test saved as the tool button saves it (one row in
  // `table`), then picked in the browser and loaded: the window showing it.
  TMeasure* StoreAndLoadBack(TMeasure& window, const std::string& table, short mode) {
    EXPECT_TRUE(Route(CM_SAVE_MEASUREMENT));
    long rows = 0;
    OpenTestTable(Folder / "Database/Data", table, &App->GetMessages())->GetNumberOfRecords(rows);
    EXPECT_EQ(rows, 1);
    EXPECT_FALSE(window.HasUnsavedResults());
    bool listed = false;
    PickTheOnlyExaminationWhenTheBrowserOpens(listed);
    EXPECT_TRUE(Route(CM_BROWSE_MEASUREMENTS));
    EXPECT_TRUE(listed);
    QApplication::processEvents();
    auto* loaded = dynamic_cast<TMeasure*>(Client().GetMeasure());
    if (loaded) {
      EXPECT_EQ(loaded->GetMeasureMode(), mode);
    }
    return loaded;
  }

  // Events until `done`, or `ms` of real time.
  static bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms)
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
  }
};
