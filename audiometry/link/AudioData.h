#pragma once

// What the audiometer link keeps besides the port: who owns it (the
// audiometer window, the port test or the service page), the language
// texts and the patient.

#include "common/PredictedData.h"

#include <cstdint>

class TMessage;

class TAudioData {
public:
  // Owner modes: the port test and the service page read the answers
  // themselves; any other owner gets them as WM_DATA_READY.
  static constexpr unsigned ModePortTest = 0xFFFF;
  static constexpr unsigned ModeService = 0xFFFD;
  static constexpr unsigned ModeWindow = 0xFFFB;

  TAudioData(unsigned mode, TMessage* texts);
  virtual ~TAudioData() = default;
  TAudioData(const TAudioData&) = delete;
  TAudioData& operator=(const TAudioData&) = delete;

  void SetPatientData(const PREDICTED_DATA& patient) { Patient = patient; }
  const PREDICTED_DATA& GetPatientData() const { return Patient; }
  unsigned GetMode() const { return Mode; }

  // The link word: 500 once the handler was set up; 0xFFFF means the link
  // is not usable.
  std::uint32_t LinkWord = 0;

protected:
  unsigned Mode;
  unsigned SavedMode;
  PREDICTED_DATA Patient{};
  TMessage* Texts;  // borrowed: the program owns it
};
