#include "audiometry/link/AudioData.h"

TAudioData::TAudioData(unsigned mode, TMessage* texts) : Mode(mode), SavedMode(mode), Texts(texts) {}
