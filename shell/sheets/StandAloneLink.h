#pragma once

// A link of a configuration page's own, on the settings of a hardware
// section: the statics of a measurement window that may be open are kept
// aside while it lives, and the link's device closes before they return.

#include "platform/portkit/LinkStaticsGuard.h"
#include "shell/sheets/HardwareStatus.h"

#include <string>

class TStandAloneLink {
public:
  // `measureType` is 0xFFFF for a port test, 0xFFFD for the service page.
  TStandAloneLink(unsigned short measureType, TMessage* texts, const THardwareStatus& status, short deviceKind,
                  const std::string& iniPath);
  TMeasureInterrupt& operator*() { return Link; }
  TMeasureInterrupt* operator->() { return &Link; }

  // The capability flags of the last port test as the bits of Mode.
  static short ModeOf(const TMeasureInterrupt& link);
  // Gives a link the settings of a hardware section: the instrument kind
  // of the sheet, its port, queues, timing and USB description.
  static void Apply(TMeasureInterrupt& link, const THardwareStatus& status, short deviceKind,
                    const std::string& iniPath);

private:
  TLinkStaticsGuard Guard;  // first in, last out
  TMeasureInterrupt Link;
};
