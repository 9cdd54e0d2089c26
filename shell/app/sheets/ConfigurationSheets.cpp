// The client's configuration sheets: the instruments' three sheets and the
// audiometer's, what runs around them (the measurement window's results
// saved and read back, its device let go for the sheet's own port tests and
// checked again afterwards, the settings pushed on OK), and the first
// installation that runs them one after the other.

#include "shell/app/MdiClient.h"

#include "common/CommandNumbers.h"
#include "measure/core/MeasureWindow.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "records/ExaminationStore.h"
#include "shell/sheets/BarometerStep.h"
#include "patients/DialogParts.h"
#include "shell/app/sheets/ConfigPage.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/sheets/NebulizerPage.h"
#include "shell/app/sheets/ServicePage.h"
#include "shell/settings/SettingsPush.h"
#include "shell/app/sheets/TestParameterPages.h"
#include "special/ProvocationWindow.h"
#include "audiometry/AudioMeterWindow.h"
#include "audiometry/window/AudioCalib.h"

#include <QEventLoop>
#include <QTimer>

namespace {

constexpr short RhinomanometryType = 6;

void WaitWithEvents(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

// The sheet's pages run port tests of their own: the measurement window's
// device is let go first, so that no test meets the program's own lock and
// a working instrument is never taken for an absent one.
void THalvetraMDIClient::ReleaseMeasurePort() {
  if (TMeasureWindow* window = GetMeasure(); window && window->Link().PortInUse)
    window->Link().RestoreSerialPort();
}

void THalvetraMDIClient::CheckMeasurePort() {
  TMeasureWindow* window = GetMeasure();
  if (!window)
    return;
  const std::string& ini = App.GetSettings().IniPath;
  SettingsPush::PushLink(window->Link(),
                         SettingsPush::ReadMeasureLink(ini, window->GetMeasureType(), window->GetInstrumentKind(),
                                                       App.GetSettings().Demo != 0),
                         ini, HardwareCheckMessages);
}

void THalvetraMDIClient::RunInstrumentSheet(short deviceKind) {
  const TAppSettings& settings = App.GetSettings();
  const bool demo = settings.Demo != 0;
  TMessage& texts = App.GetMessages();
  const std::string& ini = settings.IniPath;
  static constexpr int Titles[] = {83, 425, 483};
  static constexpr unsigned Commands[] = {CM_HARDWARE_SETUP, CM_DIFFUSION_SETUP, CM_PLETHYSMOGRAPH_SETUP};

  // 1. The measurement window's results go to their work file; a
  // rhinomanometry window keeps its own (work file 6 would be a foreign one).
  TMeasureWindow* window = GetMeasure();
  const short type = window ? window->GetMeasureType() : 0;
  const bool keepsResults = deviceKind != 2 && window && type != RhinomanometryType;
  if (keepsResults)
    if (TExaminationStore* store = Store())
      store->WriteMeasureFile(*window, type);
  ReleaseMeasurePort();

  // 2. The sheet and its pages.
  TOwnPropertySheet sheet(texts, this, Titles[deviceKind], static_cast<int>(Commands[deviceKind]));
  const int portTemplate = deviceKind == 0 ? 20102 : 20144;
  auto* config = new TConfigPage(demo, texts, ini, &sheet, portTemplate, deviceKind);
  sheet.AddPage(config, DialogParts::Caption(texts, 99));
  auto* nebulizer = new TNebulizerPage(demo, texts, ini, &sheet, deviceKind == 0 ? 20132 : 20133, deviceKind);
  sheet.AddPage(nebulizer, DialogParts::Caption(texts, 305));
  TShutterPage* shutter = nullptr;
  TDiffusionPage* diffusion = nullptr;
  TPlethysmographPage* plethysmograph = nullptr;
  if (deviceKind == 0) {
    shutter = new TShutterPage(texts, ini, &sheet, 20147);
    sheet.AddPage(shutter, DialogParts::Caption(texts, 474));
  }
  auto* service = new TServicePage(demo, texts, ini, &sheet, deviceKind == 0 ? 20101 : 20143, deviceKind);
  sheet.AddPage(service, DialogParts::Caption(texts, 103));
  if (deviceKind == 1) {
    diffusion = new TDiffusionPage(texts, ini, &sheet, 20145);
    sheet.AddPage(diffusion, DialogParts::Caption(texts, 431));
  } else if (deviceKind == 2) {
    plethysmograph = new TPlethysmographPage(texts, ini, &sheet, 20155);
    sheet.AddPage(plethysmograph, DialogParts::Caption(texts, 502));
  }
  const bool confirmed = sheet.exec() == QDialog::Accepted;

  // 3. On OK the pages write and the windows take the new settings.
  if (confirmed) {
    config->WriteHardwareStatus();
    nebulizer->WriteHardwareStatus();
    if (shutter)
      shutter->WriteSection();
    if (diffusion)
      diffusion->WriteSection();
    App.ReadInstallFlags(deviceKind);
    if (plethysmograph) {
      if (plethysmograph->BarometerOffset() != 0)
        plethysmograph->SetBarometerOffset(
            BarometerStep::Calibrate(ini, &texts, plethysmograph->BarometerOffset(), &WaitWithEvents));
      plethysmograph->WriteSection();
    } else {
      ReadMeasureSettings();
      ReadProvocationSettings();
    }
  }
  // 4. Whatever the result.
  service->HaveToKillHandler();

  // 5. The measurement window reads its results back and checks its port.
  window = GetMeasure();
  if (!window)
    return;
  if (!confirmed || plethysmograph)
    CheckMeasurePort();
  if (deviceKind != 2) {
    if (type == RhinomanometryType) {
      window->SetMeasureMode(RhinomanometryType);
    } else {
      if (TExaminationStore* store = Store())
        store->ReadMeasureFile(*window, type, true);
      window->ChangeButtonColor();
    }
  }
  window->Repaint();
}

void THalvetraMDIClient::CmHardwareSetup() { RunInstrumentSheet(0); }

void THalvetraMDIClient::CmDiffusionSetup() { RunInstrumentSheet(1); }

void THalvetraMDIClient::CmPlethysmographSetup() { RunInstrumentSheet(2); }

void THalvetraMDIClient::CmAudioSetup() {
  const auto& factory = App.GetOptions().Dialogs.AudioSheetPages;
  if (!factory) {
    App.ShowNotAvailableYet();
    return;
  }
  const TAppSettings& settings = App.GetSettings();
  TOwnPropertySheet sheet(App.GetMessages(), this, 377, static_cast<int>(CM_AUDIO_SETUP));
  const TSheetPages pages = factory(settings.Demo != 0, App.GetMessages(), settings.IniPath, sheet);
  if (sheet.exec() == QDialog::Accepted) {
    if (pages.Write)
      pages.Write();
    App.ReadInstallFlags(3);
    ReadAudioSettings();
  }
  if (pages.HaveToKillHandler)
    pages.HaveToKillHandler();
  if (TAudioMeterWindow* window = GetAudioMeter())
    window->Repaint();
}

void THalvetraMDIClient::CmAudioCalibration() {
  if (const auto& calibration = App.GetOptions().Dialogs.AudioCalibration) {
    calibration();
    return;
  }
  TAudioCalib dialog(&App.GetMessages(), App.GetSettings().IniPath, this);
  dialog.exec();
}

void THalvetraMDIClient::RunFirstInstallSheets() {
  const auto& given = App.GetOptions().Dialogs.ConfigurationSheets;
  for (std::size_t i = 0; i < given.size(); ++i) {
    if (given[i])
      given[i]();
    else if (i < 3)
      RunInstrumentSheet(static_cast<short>(i));
    else if (App.GetOptions().Dialogs.AudioSheetPages)
      CmAudioSetup();
  }
}
