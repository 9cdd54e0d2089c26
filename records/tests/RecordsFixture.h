#pragma once

// A real database of empty tables in a temporary folder, its measure
// tables open as the patient sheet keeps them, the work files in the same
// folder, and the fake windows; messages are recorded.

#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "platform/basekit/Message.h"
#include "records/ExaminationSaver.h"
#include "records/MeasureWorkFiles.h"
#include "records/tests/FakeMeasure.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <memory>

class TRecordsFixture : public ::testing::Test {
protected:
  TRecordsFixture();
  ~TRecordsFixture() override;

  // The texts of the program with the recording sink.
  static TMessage& Texts();
  // Opens the nine measure tables of `folder` (the fixture's by default).
  void OpenTables();
  // A new result of a kind in trial 1, the window showing that kind.
  void Measure(short kind, float lead, int samples);
  // A new plethysmograph trial of 400 samples (lead 6.0) with its
  // resistance loop at 10-20 and its TGV loop at 30-35.
  void MeasurePlethy();
  // The rows of a table as another program counts them.
  long RowCount(std::string_view table) const;

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  std::int32_t PatientKey = 7;
  TMeasureTables Tables;
  TMeasureIndex Index{Tables, [this] { return PatientKey; }};
  TMeasureWorkFiles WorkFiles;
  TFakeWindows Windows;
  TFakeMeasure& Window = Windows.MeasureWindow;
  TClockReading Now{2026, 12, 10, 14, 5, 9};
  TExaminationSaver Store{Index, WorkFiles, Windows, &Texts(), [this] { return Now; }};
};
