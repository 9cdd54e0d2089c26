#include "measure/core/HotAreas.h"

#include "common/MeasureMode.h"

namespace {

struct TArea {
  int Left, Top, Right, Bottom;
};

constexpr TArea SmallCurve{8, 67, 311, 275};
constexpr TArea WholeCurve{8, 67, 740, 447};
constexpr TArea Title{321, 68, 420, 86};
constexpr TArea TitleLow{321, 105, 420, 123};
constexpr TArea ZoomBody{8, 107, 742, 456};

bool Inside(const THotState& s, const TArea& a, int x, int y) {
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  return fx > static_cast<float>(a.Left) * s.XScale && fx < static_cast<float>(a.Right) * s.XScale &&
         fy > static_cast<float>(a.Top) * s.YScale && fy < static_cast<float>(a.Bottom) * s.YScale;
}

bool Answers(const THotState& s) { return s.Idle && s.MeasureScreen && !s.HelpMode; }

bool HasSmallCurve(short type) {
  return type == MEASURE_FVC || type == MEASURE_RHINO || type == MEASURE_SHUTTER || type == MEASURE_PLETHY;
}

}  // namespace

THotArea HitTest(const THotState& s, int x, int y) {
  if (!Answers(s))
    return THotArea::None;
  if (s.TableZoomed) {
    const TArea titleRow{8, 107, 8 + s.ZoomColumnWidth * s.ZoomColumns, 122};
    if (Inside(s, titleRow, x, y))
      return THotArea::TableTitle;
    return Inside(s, ZoomBody, x, y) ? THotArea::CurveLarge : THotArea::None;
  }
  if (s.ListVisible && HasSmallCurve(s.MeasureType) && Inside(s, SmallCurve, x, y))
    return THotArea::CurveSmall;
  if (!s.ListVisible && Inside(s, WholeCurve, x, y))
    return THotArea::CurveLarge;
  if (s.ListVisible && Inside(s, s.TitleLow ? TitleLow : Title, x, y))
    return THotArea::TableTitle;
  return THotArea::None;
}

int CursorOf(THotArea area) {
  switch (area) {
  case THotArea::CurveSmall: return CursorCurveSmall;
  case THotArea::CurveLarge: return CursorCurveLarge;
  case THotArea::TableTitle: return CursorTableTitle;
  case THotArea::None: break;
  }
  return 0;
}

THotMove MouseMove(const THotState& s, THotArea current, int x, int y) {
  // A busy screen leaves the cursor as it is.
  if (!Answers(s))
    return {current, std::nullopt};
  const THotArea area = HitTest(s, x, y);
  if (area == current)
    return {area, std::nullopt};
  return {area, CursorOf(area)};
}

THotClick MouseDown(const THotState& s, THotArea current) {
  if (!Answers(s))
    return {THotArea::None, current == THotArea::None ? std::nullopt : std::optional<int>(0), THotAction::None};
  switch (current) {
  case THotArea::CurveSmall:
  case THotArea::CurveLarge: {
    const THotArea swapped = current == THotArea::CurveSmall ? THotArea::CurveLarge : THotArea::CurveSmall;
    return {swapped, CursorOf(swapped), s.TableZoomed ? THotAction::ZoomTable : THotAction::Screen};
  }
  case THotArea::TableTitle: return {current, std::nullopt, THotAction::ParameterChoice};
  case THotArea::None: break;
  }
  return {};
}
