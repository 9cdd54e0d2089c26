// Which options dialog a test printout asks with, by the installed
// instruments, and what the print commands print.

#include "shell/client/PrintChoice.h"

#include "common/MeasureMode.h"

#include <gtest/gtest.h>

namespace {

using PrintChoice::TPrintable;

TEST(PrintChoice, OptionsDialogAndExtraTestsByTheInstalledInstruments) {
  struct Case {
    const char* name;
    bool diffusion, plethysmograph;
    short hardwareMode, diffusionMode, plethysmographMode;
    short kind;
    short dialog;
    unsigned short extra;
  };
  const Case cases[] = {
      {"plain spirometer", false, false, 0, 0, 0, MEASURE_FVC, 20103, 0},
      {"shutter on the spirometer", false, false, 4, 0, 0, MEASURE_FVC, 20148, 2},
      {"rhinomanometer bit is no shutter", false, false, 1, 0, 0, MEASURE_VC, 20103, 0},
      {"diffusion", true, false, 0, 0, 0, MEASURE_FVC, 20146, 1},
      {"diffusion with its shutter", true, false, 0, 4, 0, MEASURE_DFC, 20149, 3},
      {"diffusion, shutter on the spirometer", true, false, 4, 0, 0, MEASURE_FVC, 20149, 3},
      {"plethysmograph", false, true, 0, 0, 0, MEASURE_FVC, 20150, 4},
      {"plethysmograph with its shutter", false, true, 0, 0, 4, MEASURE_FVC, 20152, 6},
      {"plethysmograph, a diffusion mode not installed", false, true, 0, 4, 0, MEASURE_FVC, 20150, 4},
      {"both", true, true, 0, 0, 0, MEASURE_FVC, 20151, 5},
      {"both, shutter in the diffusion unit", true, true, 0, 4, 0, MEASURE_FVC, 20153, 7},
      {"both, shutter on the spirometer", true, true, 4, 0, 0, MEASURE_MVV, 20153, 7},
      {"rhinomanometry", true, true, 4, 4, 4, MEASURE_RHINO, 20137, 0},
  };
  for (const Case& c : cases) {
    TInstallFlags install;
    install.DiffusionInstalled = c.diffusion;
    install.PlethysmographInstalled = c.plethysmograph;
    install.HardwareMode = c.hardwareMode;
    install.DiffusionMode = c.diffusionMode;
    install.PlethysmographMode = c.plethysmographMode;
    const PrintChoice::TTestOptions options = PrintChoice::ForMeasurement(install, c.kind);
    EXPECT_EQ(options.Dialog, c.dialog) << c.name;
    EXPECT_EQ(options.ExtraTests, c.extra) << c.name;
  }
}

TEST(PrintChoice, WhatThePrintCommandsPrint) {
  using V = PrintChoice::TPrintView;
  const auto with = [](auto change) {
    V view;
    view.AnyActive = true;
    change(view);
    return view;
  };
  struct Case {
    const char* name;
    V view;
    TPrintable printable;
  };
  const Case cases[] = {
      {"no active child", V{}, TPrintable::None},
      {"a test with results", with([](V& v) { v.MeasurementOpen = v.HasResults = true; }), TPrintable::Measurement},
      {"a test without results", with([](V& v) { v.MeasurementOpen = true; }), TPrintable::None},
      {"while a test runs", with([](V& v) { v.MeasurementOpen = v.HasResults = v.MeasurementBusy = true; }),
       TPrintable::None},
      {"calibration mode", with([](V& v) {
         v.MeasurementOpen = v.HasResults = true;
         v.MeasureMode = MEASURE_CALIBRATION;
       }),
       TPrintable::None},
      {"a stored calibration", with([](V& v) {
         v.MeasurementOpen = v.Calibrated = true;
         v.MeasureMode = MEASURE_CALIBRATION;
       }),
       TPrintable::Calibration},
      {"a calibration running", with([](V& v) {
         v.MeasurementOpen = v.Calibrated = v.MeasurementBusy = true;
         v.MeasureMode = MEASURE_CALIBRATION;
       }),
       TPrintable::None},
      {"rhinomanometry", with([](V& v) {
         v.MeasurementOpen = v.HasResults = true;
         v.Kind = MEASURE_RHINO;
       }),
       TPrintable::Measurement},
      {"rhinomanometry without a result", with([](V& v) {
         v.MeasurementOpen = true;
         v.Kind = MEASURE_RHINO;
       }),
       TPrintable::None},
      {"the note beside a test", with([](V& v) { v.MeasurementOpen = v.HasResults = v.NoteActive = true; }),
       TPrintable::Measurement},
      {"the note alone", with([](V& v) { v.NoteActive = true; }), TPrintable::NoteOnly},
      {"the sheet alone", with([](V&) {}), TPrintable::None},
      {"the active trend", with([](V& v) { v.TrendOpen = v.TrendActive = v.MeasurementOpen = v.HasResults = true; }),
       TPrintable::Trend},
      {"a trend behind a test", with([](V& v) { v.TrendOpen = v.MeasurementOpen = v.HasResults = true; }),
       TPrintable::Measurement},
      {"an audiogram to print", with([](V& v) { v.AudiometerOpen = v.AudiometerPrintable = true; }),
       TPrintable::Audiogram},
      {"an audiometer without one", with([](V& v) { v.AudiometerOpen = v.MeasurementOpen = v.HasResults = true; }),
       TPrintable::None},
      {"a provocation open, the measurement active", with([](V& v) {
         v.ProvocationOpen = v.MeasurementOpen = v.HasResults = v.BaselineFiled = true;
       }),
       TPrintable::None},
      {"a provocation's stages from its frame", with([](V& v) {
         v.ProvocationOpen = v.ProvocationActive = v.MeasurementOpen = v.BaselineFiled = true;
       }),
       TPrintable::ProvocationStages},
      {"a provocation's stages from the note", with([](V& v) {
         v.ProvocationOpen = v.NoteActive = v.MeasurementOpen = v.BaselineFiled = true;
       }),
       TPrintable::ProvocationStages},
      {"a provocation without its baseline", with([](V& v) {
         v.ProvocationOpen = v.ProvocationActive = v.MeasurementOpen = true;
       }),
       TPrintable::None},
      {"a provocation spraying", with([](V& v) {
         v.ProvocationOpen = v.ProvocationActive = v.MeasurementOpen = v.BaselineFiled = v.NebulizerRunning = true;
       }),
       TPrintable::None},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PrintChoice::Printable(c.view), c.printable) << c.name;
}

}  // namespace
