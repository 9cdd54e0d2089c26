#pragma once

// The audiogram: the two charts (right ear on the left half, left ear on
// the right half) with the actual and the previous thresholds, the table
// under them, the patient line, the notes, the marker of the tone being
// presented, and the headphone and response-button pictures. One routine
// draws the screen, the bitmap file and the printout on any drawing
// surface, in the 800 x 600 layout scaled by the window's factors (in
// bitmap mode both factors are 1 and the layout moves to the page).

#include "audiometry/threshold/AudioSettings.h"
#include "common/PredictedData.h"
#include "platform/basekit/DrawSurface.h"

#include <array>
#include <string>

class TMessage;

struct TAudiogramStamp {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

// What the audiogram shows, copied from the test.
struct TAudiogramData {
  using TRow = std::array<int, AudioFrequencies>;
  using TFlags = std::array<bool, AudioFrequencies>;
  enum { Right = 0, Left = 1, Actual = 0, Previous = 1 };

  std::array<std::array<TRow, 2>, 2> Thresholds{};  // [ear][actual, previous]
  std::array<std::array<TFlags, 2>, 2> Flags{};
  std::array<TAudiogramStamp, 2> Stamps{};
  std::array<std::string, 2> Notes;  // actual, previous
  std::array<bool, 2> NoteFlags{};
  std::string CurrentNote;
  PREDICTED_DATA Patient{};

  // The test in progress: the marker and the pictures.
  bool SequenceRunning = false;
  int Frequency = -1;  // 0 to 10
  int Ear = Right;
  int LevelDb = 0;
  bool Tone = false;
  bool PatientButton = false;

  bool AnyMeasured() const;
  // Whether a previous test has a threshold to draw.
  bool PreviousMeasured() const;
};

struct TAudiogramPens {
  TPen General{TColor::Black(), 1};
  TPen Right{TColor(255, 0, 0), 2};
  TPen Left{TColor(0, 255, 255), 2};
  TPen Previous{TColor(0, 255, 0), 2};
  TPen Grid{TColor(128, 128, 128), 1};
  TColor Background{192, 192, 192};
  TColor Field{255, 255, 255};
  TColor Text{0, 0, 0};

  // The curves' width, at least 1.
  void SetCurveWidth(int width);
  // The general pen of `width` (black on paper).
  void SetPenSize(int width, bool bitmapMode);
  // On paper the previous curve is light green, 2 wide, dotted on a device
  // of fewer than 3 colours.
  void ChangePenDot(int deviceColours);
};

struct TAudiogramLayout {
  float XScale = 1.0f;
  float YScale = 1.0f;
  bool BitmapMode = false;
  int ScreenIndex = 1;      // 640, 800, 1024, 1152, 1280, 1600 -> 0 to 5
  int PrintOffset = 0;      // where the bitmap-mode drawing starts
  std::string DateFormat = "YYYY.MM.DD.";
  std::string TimeFormat = "HH:MM:SS";
};

class TAudiogramPainter {
public:
  static constexpr int AudioHeight = 338;
  static constexpr int LegendHeight = 60;
  static constexpr int NoteRowHeight = 18;
  // On paper: the table's top below the print offset (under the charts'
  // frequency labels, which end at 205), its row height, and the legend's
  // row pitch (three rows end above the charts' titles at 40).
  static constexpr int PrintedTableTop = 208;
  static constexpr int PrintedRowHeight = 32;
  static constexpr int LegendRowPitch = 13;
  // The headphone, the response button and the level field stand between
  // the charts' level scales, within 26 units either side of this x.
  static constexpr double PictureCentreX = 376;
  static constexpr double PictureHalfWidth = 26;
  static constexpr TRect RightChart{17, 114, 314, 294};
  static constexpr TRect LeftChart{440, 114, 737, 294};
  static constexpr TRect Table{17, 324, 737, 452};

  TAudiogramPainter(TDrawSurface& surface, const TMessage* texts, const TAudiogramData& data,
                    TAudiogramLayout& layout, const TAudiogramPens& pens);

  // The whole screen picture, or during a test the current ear's chart and
  // the table only.
  void DoPaint();
  void DoPaintUnderMeasurement();
  void FillFields();
  void DrawKoordinata();
  void WriteTable();
  void DrawCurves();
  void DrawCurves(int ear);
  void DrawCurve(int kind, int ear, int frequency);
  void WritePatientData();
  void DrawMarker();
  // 0 the response button, 1 the chosen ear's headphone.
  void DrawRedCross(int which);
  void WriteDiagnosis();
  void DrawPenMinta(int y);
  // The printed audiogram from the layout's print offset, which it advances.
  void AudioPrint();
  // The charts with their curves (the bitmap file).
  void PaintCharts();

  // The rectangles DoPaintUnderMeasurement redraws, in surface pixels.
  TRect ChartRect(int ear) const;
  TRect TableRect() const;

  int GetTableHeight(int row) const;
  int GetMaxTableHeight() const;
  static int GetDiagnosisHeight(const TAudiogramData& data);
  static int CalculateAudioHeight(const TAudiogramData& data) {
    return LegendHeight + AudioHeight + GetDiagnosisHeight(data);
  }
  // The chart column of a frequency index: 125 Hz 0, 250 Hz 2, then 4 on.
  static int Column(int frequency) { return frequency < 2 ? 2 * frequency : frequency + 2; }
  // "YYYYMMDD" and "HHMMSS" of a stamp in the display formats; the format
  // itself when the stamp has no date (no time).
  static std::string DateText(const TAudiogramStamp& stamp, const std::string& format);
  static std::string TimeText(const TAudiogramStamp& stamp, const std::string& format);

  // The standard symbols: 0 right ear (O), 1 left ear (X), 2 right bone
  // conduction (<), 3 left bone conduction (>), centred on `at`.
  static void DrawSymbol(TDrawSurface& surface, int symbol, TPoint at, int size, const TPen& pen);

private:
  TPoint P(double x, double y) const;
  TRect R(double left, double top, double right, double bottom) const;
  int ChartTop() const;
  int GridX(int ear) const;
  double LevelY(int db) const { return ChartTop() + 15 + 1.5 * db; }
  void DrawChart(int ear);
  void DashedLine(double x0, double y0, double x1, double y1);
  const TPen& CurvePen(int kind, int ear) const;
  std::string Text(int number) const;
  void Write(double left, double top, double right, double bottom, const std::string& text, const TFontSpec& font,
             TColor colour, TTextAlign align);
  TFontSpec Font(const char* face, double points, int weight) const;
  // The font of that size, or smaller until every frequency label fits
  // `widthUnits` of the layout.
  TFontSpec FittingFont(const char* face, double points, int weight, double widthUnits) const;

  TDrawSurface& Surface;
  const TMessage* Texts;
  const TAudiogramData& Data;
  TAudiogramLayout& Layout;
  const TAudiogramPens& Pens;
};
