#include "special/provocation/MeasureNebulizerLink.h"

#include "measure/core/MeasureWindow.h"
#include "platform/portkit/MeasureInterrupt.h"

TMeasureNebulizerLink::TMeasureNebulizerLink(TMeasureWindow& measure, TEventHandler* window,
                                             std::function<void(int)> wait)
    : MeasureWindow(measure), Window(window), Waiting(std::move(wait)) {}

TMeasureInterrupt& TMeasureNebulizerLink::Link() const { return MeasureWindow.Link(); }

void TMeasureNebulizerLink::Begin() {
  TMeasureData::pThis = Window;
  Link().InitHandler();
  TMeasureInterrupt::FlagBegin = true;
}

void TMeasureNebulizerLink::End() {
  Link().KillHandler();
  TMeasureInterrupt::FlagBegin = false;
  TMeasureData::pThis = &MeasureWindow;
}

bool TMeasureNebulizerLink::TakesControlWords() const {
  const TMeasureInterrupt& link = Link();
  return link.HasInstrument && link.InstrumentType != 0;
}

void TMeasureNebulizerLink::SendWord(unsigned short word) {
  TMeasureData::LastSentData = word;
  Link().CmSendToSerialPort(word, 2);
}

void TMeasureNebulizerLink::SetCompressor(bool on) { TMeasureInterrupt::CompressorState = on ? 1 : 0; }

unsigned short TMeasureNebulizerLink::DoseCounter() const { return TMeasureInterrupt::DoseCounter; }

bool TMeasureNebulizerLink::EndOfRun() const { return Link().StopRequest != 0; }

void TMeasureNebulizerLink::SetEndOfRun() { Link().StopRequest = 1; }

void TMeasureNebulizerLink::Wait(int milliseconds) {
  if (Waiting)
    Waiting(milliseconds);
}
