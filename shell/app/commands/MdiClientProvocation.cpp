// The client's side of the provocation driver: the windows it drives and
// what only the client does for it.

#include "shell/app/MdiClient.h"

#include "shell/app/HalvetraApp.h"
#include "shell/app/MdiChild.h"

#include <QDateTime>

namespace {

TStageTime StageTimeNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec() / 10};
}

}  // namespace

TProvocationDriver& THalvetraMDIClient::Provocations() {
  if (!Driver) {
    TProvocationHost& host = *this;
    const auto& clock = App.GetOptions().StageClock;
    Driver = std::make_unique<TProvocationDriver>(host, App.GetMessages(), App.GetWorkFiles(), Store(),
                                                  clock ? clock : TProvocationDriver::TNow(StageTimeNow));
  }
  return *Driver;
}

bool THalvetraMDIClient::IsMeasureActive() const {
  return Frame(TClientSlot::Measure) && activeSubWindow() == Frame(TClientSlot::Measure).data();
}

bool THalvetraMDIClient::IsProvocationActive() const {
  return Frame(TClientSlot::Provocation) && activeSubWindow() == Frame(TClientSlot::Provocation).data();
}

void THalvetraMDIClient::DeleteTempFiles() { Control.DeleteTempFiles(); }

void THalvetraMDIClient::EndProvocation() {
  ProvocationMode = false;
  GiveEngineTo(GetPatient());
}
