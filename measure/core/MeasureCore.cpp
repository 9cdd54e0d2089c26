#include "measure/core/MeasureCore.h"

#include "measure/results/ParamList.h"

#include <chrono>

TMeasureCore::TMeasureCore(TMessage* messages, TMeasureClient* client, unsigned short measureType)
    : TMeasureInterrupt(measureType, messages),
      Messages(messages),
      Client(client),
      OpenedType(static_cast<short>(measureType)),
      Now(LocalNow),
      Random(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count())) {
  SetDateFormatStr("YYYY.MM.DD.");
  SetTimeFormatStr("HH:MM:SS");
  ParamsStruct.fill(1);
}

TMeasureCore::~TMeasureCore() {
  // A window closed mid-trial stops the acquisition before its buffers go.
  if (StartId != 0) {
    StartId = 0;
    KillHandler();
  }
  if (UnitRead)
    WriteUnitConstans();
}


