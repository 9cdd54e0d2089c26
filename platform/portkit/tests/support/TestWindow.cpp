#include "platform/portkit/tests/support/TestWindow.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/MeasureInterrupt.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

const TResponseTable& TTestWindow::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Message<&TTestWindow::EvCommNotify>(WM_COMMNOTIFY),
      Response::Message<&TTestWindow::EvDataReady>(WM_DATA_READY),
      Response::Message<&TTestWindow::EvRhinoReady>(WM_RHINO_DATA_READY),
      Response::Message<&TTestWindow::EvPlethyReady>(WM_PLETHY_DATA_READY),
      Response::Command<&TTestWindow::CmStop>(CM_STOP),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

TResult TTestWindow::EvCommNotify(TParam1 device, TParam2) {
  ++Notifications;
  if (static_cast<int>(device) != TMeasureInterrupt::IdCommDev || Stopped)
    return 1;
  Link.CommNotify(device);
  if (Link.AnyEndFlag())
    PostMessage(this, WM_COMMAND, CM_STOP, 0);
  return 0;
}

TResult TTestWindow::EvDataReady(TParam1 index, TParam2 value) {
  Record(WM_DATA_READY, index, value);
  return 1;
}

TResult TTestWindow::EvRhinoReady(TParam1 index, TParam2 value) {
  Record(WM_RHINO_DATA_READY, index, value);
  return 1;
}

TResult TTestWindow::EvPlethyReady(TParam1 index, TParam2 value) {
  Record(WM_PLETHY_DATA_READY, index, value);
  return 1;
}

void TTestWindow::Record(unsigned message, TParam1 index, TParam2 value) {
  if (Stopped)
    return;
  Samples.push_back({message, static_cast<unsigned>(index), static_cast<long>(value)});
  if (OnSample)
    OnSample(Samples.back());
}

void TTestWindow::CmStop() {
  Stopped = true;
  Link.KillHandler();
}

void ProcessPosted() {
  // A dispatch may post again (a notification brings samples, a sample may
  // bring a stop); a few rounds reach the end of every such chain.
  for (int round = 0; round < 8; ++round)
    QCoreApplication::sendPostedEvents();
}

bool RunUntil(const std::function<bool()>& done, int deadlineMs) {
  const QDeadlineTimer deadline(deadlineMs);
  QTimer wake;  // so that the wait for events looks at the deadline now and then
  wake.start(20);
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return done();
}
