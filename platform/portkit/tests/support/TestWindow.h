#pragma once

// Stands in for the measurement window: hands WM_COMMNOTIFY to the link as
// the window does, stops on an end flag, and records every sample message.

#include "platform/framework/EventHandler.h"

#include <functional>
#include <vector>

class TMeasureInterrupt;

struct TSampleMessage {
  unsigned Message;
  unsigned Index;
  long Value;
  bool operator==(const TSampleMessage&) const = default;
};

class TTestWindow : public TEventHandler {
public:
  explicit TTestWindow(TMeasureInterrupt& link) : Link(link) {}

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // Runs for every sample after it is recorded, as the window's ready
  // machine would (for example to set FlagBegin).
  std::function<void(const TSampleMessage&)> OnSample;

  std::vector<TSampleMessage> Samples;
  int Notifications = 0;
  bool Stopped = false;

private:
  TResult EvCommNotify(TParam1 device, TParam2);
  TResult EvDataReady(TParam1 index, TParam2 value);
  TResult EvRhinoReady(TParam1 index, TParam2 value);
  TResult EvPlethyReady(TParam1 index, TParam2 value);
  void CmStop();
  void Record(unsigned message, TParam1 index, TParam2 value);

  TMeasureInterrupt& Link;
};

// Dispatches everything that was posted, including what the dispatch posts.
void ProcessPosted();

// Runs the event loop until `done`, for at most `deadlineMs`; never a fixed
// sleep.
bool RunUntil(const std::function<bool()>& done, int deadlineMs);
