#pragma once

// The audiometer window: the audiogram, the tool box of frequency gadgets,
// the two ear buttons and the level field with its up-down control, over
// the headless threshold test (TAudioTest), which decides everything; the
// window forwards its commands, keys and timers there and draws what the
// test tells it. The program drives it through TAudioMeterWindow and reads
// and fills the audiogram through the accessors below.

#include "audiometry/AudioMeterWindow.h"
#include "audiometry/audiogram/AudiogramPainter.h"
#include "audiometry/threshold/AudioTest.h"
#include "common/PredictedData.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QButtonGroup;
class QLineEdit;
class QToolButton;
class TDDE;
class TMessage;
class TAudioEarButton;

class TAudioMeter final : public QWidget, public TAudioMeterWindow, public TAudioView {
public:
  static constexpr unsigned IdLeftEar = 5781;
  static constexpr unsigned IdRightEar = 5782;
  static constexpr unsigned IdUpDown = 5795;
  static constexpr unsigned IdLevelField = 5796;
  static constexpr unsigned IdFiller = 5797;

  // `host` gives the timers, waits and step timer (Qt's when null).
  TAudioMeter(float xScale, float yScale, TMessage* texts, std::string iniPath, PREDICTED_DATA patient, bool bitmapMode,
              QWidget* parent, std::unique_ptr<TAudioHost> host = nullptr);
  ~TAudioMeter() override;

  // Where the window's notices go: the client, then the main window.
  void SetClient(TEventHandler* client) { Client = client; }
  void SetMainWindow(TEventHandler* mainWindow) { MainWindow = mainWindow; }

  // TAudioMeterWindow.
  int GetAlgorithm() const override { return Test->GetAlgorithm(); }
  int GetSignalMode() const override { return Test->GetSignalMode(); }
  int GetMicrophoneVolume() const override { return Test->MicrophoneVolume; }
  bool HasUnsavedAudiogram() const override { return Test->AudiogramChanged; }
  void KeepOpen() override { StayOpen = true; }
  bool IsLinkUsable() const override { return Test->DevicePresent; }
  void ApplyLinkSettings(const TAudioLinkSettings& settings, bool demo, bool showMessages) override;
  void SetDisplayFormats(const TDisplayFormats& formats) override;
  void ReadAutomaticSequence() override { Test->ReadAutomaticSequence(); }
  void Repaint() override { RedrawScreenBmp(); }

  bool CanClose();

  // What storing, loading and printing use.
  int* GetTable(int ear, int kind) { return Test->GetTable(ear, kind); }
  bool* GetFlagTable(int ear, int kind) { return Test->GetFlagTable(ear, kind); }
  void SetAlgorithm(int method) { Test->SetAlgorithm(method); }
  void SetMeasureDate(int kind, int year, unsigned month, unsigned day);
  void SetMeasureTime(int kind, unsigned hour, unsigned minute, unsigned second);
  TAudioStamp& Stamp(int kind) { return Test->Stamp(kind); }
  std::array<std::string, 2>& Notes() { return Test->Notes; }
  std::array<bool, 2>& NoteFlags() { return Test->NoteFlags; }
  void SetAudiogramChanged(bool changed) { Test->AudiogramChanged = changed; }
  const TDisplayFormats& GetDisplayFormats() const { return Formats; }
  bool GetPrintEnable() const;
  bool GetIsStart() const { return Test->GetIsStart(); }

  // The screen picture: kept between paints, redrawn in part during a test.
  void CopyScreen();
  void RedrawScreenBmp();
  void DeleteScreenBmp() { Screen = QImage(); }
  const QImage& ScreenBmp() const { return Screen; }

  // The printout: the height it takes, then the audiogram from `offset`
  // (black on white, unscaled), which it advances.
  int CalculateAudioHeight() const;
  void AudioPrint(TDrawSurface& surface, int& offset) { AudioPrint(surface, 1.0f, 1.0f, offset); }
  // The same on a page whose 800-unit layout is scaled by the factors.
  void AudioPrint(TDrawSurface& surface, float xScale, float yScale, int& offset);
  void SetPenSize(int width) { PrintPens.SetPenSize(width, true); }
  void ChangePenDot(int deviceColours) { PrintPens.ChangePenDot(deviceColours); }
  // The charts as a 796-pixel-wide BMP file; false when it cannot be written.
  bool PaintToBMP(const std::string& file);
  // The audiogram into 12 x 12 cells of the workbook.
  bool SendDataToExcel(TDDE& dde);

  TAudioTest& GetTest() { return *Test; }
  TAudiogramData AudiogramData();

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2 lParam) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  // TAudioView.
  int LevelField() override;
  void ShowLevel(int db) override;
  void ToneIndicator(bool on) override;
  void Redraw() override { RedrawScreenBmp(); }
  void RedrawPatientButton() override { RedrawScreenBmp(); }
  void RedrawEarButtons() override;
  void EnableControls(bool on) override;
  void DrawMarker() override { RedrawScreenBmp(); }
  void PressStopGadget() override;
  void PressFrequencyGadget(int frequency) override;
  void NotifyFrame(unsigned message, int value) override;

  void CmDde();
  void CmAskHelpContext(TParam1 id, TParam2);
  void CmMicrophoneVolume();
  template <unsigned Id>
  void EvMethodButton() {
    Test->CmChangeAlgorithm(Id);
    UpdateControls();
  }
  template <unsigned Id>
  void EvSignalModeButton() {
    Test->CmChangeSignalMode(Id);
    UpdateControls();
  }
  void EnableMicrophone(TCommandEnabler& ce) { ce.Enable(Test->MicrophoneEnabled()); }
  void EnableMethod(TCommandEnabler& ce);
  void EnableDde(TCommandEnabler& ce) { ce.Enable(!Test->GetIsStart()); }
  void SendToFrame(unsigned message, TParam1 wParam, TParam2 lParam = 0);
  void UpdateControls();
  void PlaceControls();
  void Gadget(unsigned id);
  TAudiogramLayout ScreenLayout() const;
  // Unscaled, black on white, from `offset`.
  TAudiogramLayout PaperLayout(int offset, float xScale = 1.0f, float yScale = 1.0f) const;

  float XScale;
  float YScale;
  TMessage* Texts;
  std::string IniPath;
  bool BitmapMode;
  int ScreenIndex = 1;
  TDisplayFormats Formats;
  TAudiogramPens ScreenPens;
  TAudiogramPens PrintPens;
  std::unique_ptr<TAudioHost> Host;
  std::unique_ptr<TAudioTest> Test;
  QImage Screen;
  std::string CurrentNote;
  PREDICTED_DATA Patient;
  TEventHandlerPtr Client;
  TEventHandlerPtr MainWindow;
  bool StayOpen = false;
  bool Closing = false;

  QWidget* ToolBox = nullptr;
  QButtonGroup* Gadgets = nullptr;
  std::array<QToolButton*, AudioFrequencies> FrequencyButtons{};
  QToolButton* AutomaticButton = nullptr;
  QToolButton* StopButton = nullptr;
  TAudioEarButton* LeftEar = nullptr;
  TAudioEarButton* RightEar = nullptr;
  QLineEdit* Level = nullptr;
  QToolButton* Up = nullptr;
  QToolButton* Down = nullptr;
};

// The window's factory for the program: the window with the client as its
// message target.
TAudioMeter* MakeAudioMeter(float xScale, float yScale, TMessage* texts, const std::string& iniPath,
                            const PREDICTED_DATA& patient, QWidget* parent, TEventHandler* client);
