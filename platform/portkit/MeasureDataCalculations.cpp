#include "platform/portkit/MeasureData.h"

// The parameter calculations of a trial. Until they are built, every one
// gives no result: the trial's record stays zero and no trial is chosen.

bool TMeasureData::CalculateFvcParams(short&, short&, short&, short&, short) { return false; }

bool TMeasureData::CalculateBackExtrapolation(short&, short) { return false; }

void TMeasureData::CalculateFEVperIVC(short, short) {}

bool TMeasureData::CalculateVcParams() { return false; }

bool TMeasureData::CalculateMvvParams() { return false; }

bool TMeasureData::CalculateDfcParams(float, float) { return false; }

bool TMeasureData::CalculatePlethyParams() { return false; }

bool TMeasureData::CalculateShParams() { return false; }

short TMeasureData::CalculateTheBest(float, float, float) { return 0; }

void TMeasureData::LocalMaxMin(float, float, unsigned short) {}
