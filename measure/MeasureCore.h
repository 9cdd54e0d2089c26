#pragma once

// TMeasureCore: the measurement window without its widgets. It holds the
// trials of every test kind (through the instrument data it derives from),
// the settings kept in the ini file, the notes and the predicted values,
// and talks to its client through numbered messages. Everything the user
// must see goes through the message sink of the language texts.

#include "measure/MeasureClient.h"
#include "measure/PlethySlot.h"
#include "platform/basekit/Convert.h"
#include "platform/framework/EventHandler.h"
#include "platform/portkit/MeasureInterrupt.h"

#include <array>

class TMessage;

class TMeasureCore : public TEventHandler, public TMeasureInterrupt, public TConvert {
public:
  TMeasureCore(TMessage* messages, TMeasureClient* client, unsigned short measureType = MEASURE_FVC);
  ~TMeasureCore() override;

  TMeasureClient* GetClient() const { return Client; }

protected:
  TMessage* Messages;
  TMeasureClient* Client;

  // The plethysmograph's per-trial members (slots 0 to 3) and the value
  // shared by the trials, with its copy for the previous result.
  std::array<TPlethySlot, 4> PlethySlots{};
  float PlethyShared = 0.0f;
  float PrePlethyShared = 0.0f;
};
