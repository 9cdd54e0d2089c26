#include "measure/MeasureCore.h"

#include <chrono>

TMeasureCore::TMeasureCore(TMessage* messages, TMeasureClient* client, unsigned short measureType)
    : TMeasureInterrupt(measureType, messages),
      Messages(messages),
      Client(client),
      Now(LocalNow),
      Random(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count())) {
  SetDateFormatStr("YYYY.MM.DD.");
  SetTimeFormatStr("HH:MM:SS");
  ParamsStruct.fill(1);
}

TMeasureCore::~TMeasureCore() {
  if (UnitRead)
    WriteUnitConstans();
}

void TMeasureCore::SetMeasureMode(short mode) {
  MeasureType = mode;
  MeasureMode = mode;
}
