#include "special/provocation/MeasureNebulizerLink.h"

#include "measure/core/MeasureWindow.h"
#include "platform/portkit/MeasureInterrupt.h"

TMeasureNebulizerLink::TMeasureNebulizerLink(TMeasureWindow& measure, TEventHandler* window,
                                             std::function<void(int)> wait)
    : MeasureWindow(measure), MeasureAlive(&measure), Window(window), Waiting(std::move(wait)) {}

TMeasureInterrupt* TMeasureNebulizerLink::Link() const { return MeasureAlive ? &MeasureWindow.Link() : nullptr; }

void TMeasureNebulizerLink::Begin() {
  TMeasureInterrupt* link = Link();
  if (!link)
    return;
  // The measurement window leaves the link alone while the run holds it.
  MeasureWindow.SetIdle(false);
  TMeasureData::pThis = Window;
  link->InitHandler();
  TMeasureInterrupt::FlagBegin = true;
}

void TMeasureNebulizerLink::End() {
  // The compressor is off whatever became of the measurement window.
  TMeasureInterrupt::CompressorState = 0;
  TMeasureInterrupt* link = Link();
  if (!link)
    return;
  link->KillHandler();
  TMeasureInterrupt::FlagBegin = false;
  TMeasureData::pThis = &MeasureWindow;
  MeasureWindow.SetIdle(true);
}

bool TMeasureNebulizerLink::TakesControlWords() const {
  const TMeasureInterrupt* link = Link();
  return link && link->HasInstrument && link->InstrumentType != 0;
}

void TMeasureNebulizerLink::SendWord(unsigned short word) {
  if (TMeasureInterrupt* link = Link()) {
    TMeasureData::LastSentData = word;
    link->CmSendToSerialPort(word, 2);
  }
}

void TMeasureNebulizerLink::SetCompressor(bool on) { TMeasureInterrupt::CompressorState = on ? 1 : 0; }

unsigned short TMeasureNebulizerLink::DoseCounter() const { return TMeasureInterrupt::DoseCounter; }

bool TMeasureNebulizerLink::EndOfRun() const {
  const TMeasureInterrupt* link = Link();
  return link && link->StopRequest != 0;
}

void TMeasureNebulizerLink::SetEndOfRun() {
  if (TMeasureInterrupt* link = Link())
    link->StopRequest = 1;
}

void TMeasureNebulizerLink::Wait(int milliseconds) {
  if (Waiting)
    Waiting(milliseconds);
}
