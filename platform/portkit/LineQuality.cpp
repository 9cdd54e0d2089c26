#include "platform/portkit/LineQuality.h"

bool TLineQuality::Count(bool filledIn) {
  Filled[Next] = filledIn;
  Next = (Next + 1) % WindowSamples;
  return Filled.count() > MostFilledIn;
}

void TLineQuality::Clear() {
  Filled.reset();
  Next = 0;
}
