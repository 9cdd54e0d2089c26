#pragma once

// The audiometer window as the record code reaches it: TAudioAccess over a
// TAudioMeter. The record code's plain state (TAudioAccess::TState) and the
// window are kept in step: a field the record code changed since it was
// last handed out goes to the window, and the window's own changes come
// back, so that "new audiogram" and the window's unsaved mark are one flag.

#include "records/RecordWindows.h"

class TAudioMeter;

class TAudioRecordAccess final : public TAudioAccess {
public:
  explicit TAudioRecordAccess(TAudioMeter& window);

  TAudioMeter& Window() const { return W; }

  // Set 0 is the right ear, 1 the left; slot 0 the actual test, 1 the
  // previous one, as the window keeps them.
  int* GetTable(int set, int slot) override;
  bool* GetFlagTable(int set, int slot) override;
  int GetAlgorithm() const override;
  void SetAlgorithm(int algorithm) override;
  void SetMeasureDate(int slot, int year, unsigned month, unsigned day) override;
  void SetMeasureTime(int slot, unsigned hour, unsigned minute, unsigned second) override;
  void RedrawScreenBmp() override;
  TState& State() override;

private:
  void Sync();

  TAudioMeter& W;
  TState Record;
  TState Given;  // the record as last handed out
};
