#include "measure/MeasureCore.h"

TMeasureCore::TMeasureCore(TMessage* messages, TMeasureClient* client, unsigned short measureType)
    : TMeasureInterrupt(measureType, messages), Messages(messages), Client(client) {}

TMeasureCore::~TMeasureCore() = default;
