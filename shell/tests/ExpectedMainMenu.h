#pragma once

// The main menu as the program shows it, written out item by item: depth,
// kind ('P' pop-up, 'C' command, '-' separator), command, text number, and
// whether "..." follows the text. Text -1 is the fixed text "EKG".

#include "common/CommandNumbers.h"

#include <vector>

struct TExpectedItem {
  int Depth;
  char Kind;
  unsigned Id;
  int Text;
  bool Dots;

  bool operator==(const TExpectedItem&) const = default;
};

inline std::vector<TExpectedItem> ExpectedMainMenu(bool ecg, bool usb) {
  std::vector<TExpectedItem> items{
      {0, 'P', 0, 105, false},
      {1, 'C', CM_OPEN_PATIENT, 106, false},
      {1, '-', 0, 0, false},
      {1, 'P', 0, 125, false},
      {2, 'C', CM_PATIENT_NEW, 240, false},
      {2, '-', 0, 0, false},
      {2, 'C', CM_PATIENT_SEARCH, 242, false},
      {2, 'C', CM_PATIENT_LIST, 241, false},
      {2, 'C', CM_PATIENT_SAVE, 243, false},
      {2, 'C', CM_PATIENT_CANCEL, 87, false},
      {2, '-', 0, 0, false},
      {2, 'C', CM_PATIENT_FIRST, 244, false},
      {2, 'C', CM_PATIENT_PREV, 245, false},
      {2, 'C', CM_PATIENT_NEXT, 246, false},
      {2, 'C', CM_PATIENT_LAST, 247, false},
      {2, '-', 0, 0, false},
      {2, 'C', CM_BROWSE_MEASUREMENTS, 248, false},
      {2, 'C', CM_PATIENT_NOTE, 251, false},
  };
  if (ecg) {
    items.push_back({2, '-', 0, 0, false});
    items.push_back({2, 'C', CM_ECG, -1, false});
  }
  for (const TExpectedItem& item : std::vector<TExpectedItem>{
           {1, 'P', 0, 107, false},
           {2, 'C', CM_NEW_DATABASE, 108, false},
           {2, '-', 0, 0, false},
           {2, 'C', CM_MERGE_DATABASES, 112, false},
           {1, '-', 0, 0, false},
           {1, 'P', 0, 113, false},
           {2, 'C', CM_START_UP_SETTINGS, 120, true},
           {2, '-', 0, 0, false},
           {2, 'C', CM_DATABASE_LOCATION, 423, true},
           {2, 'C', CM_DOCTORS, 254, true},
           {2, 'C', CM_INSTITUTE, 115, false},
       })
    items.push_back(item);
  if (usb) {
    items.push_back({2, '-', 0, 0, false});
    items.push_back({2, 'C', CM_USB_DESCRIPTION, 552, true});
  }
  for (const TExpectedItem& item : std::vector<TExpectedItem>{
           {2, '-', 0, 0, false},
           {2, 'C', CM_HARDWARE_SETUP, 114, false},
           {2, 'C', CM_DIFFUSION_SETUP, 425, true},
           {2, 'C', CM_PLETHYSMOGRAPH_SETUP, 483, true},
           {2, '-', 0, 0, false},
           {2, 'C', CM_AUDIO_SETUP, 377, true},
           {2, 'C', CM_AUDIO_CALIBRATION, 418, true},
           {2, 'C', CM_AUTOMATIC_SETUP, 415, true},
           {1, '-', 0, 0, false},
           {1, 'C', CM_FILEPRINTERSETUP, 116, false},
           {1, 'C', CM_FILEPRINTPREVIEW, 117, false},
           {1, 'C', CM_FILEPRINT, 118, false},
           {1, '-', 0, 0, false},
           {1, 'C', CM_EXIT, 119, false},
           {0, '-', 0, 0, false},
           {0, '-', 0, 0, false},
           {0, 'P', 0, 121, false},
           {1, 'C', CM_HELP_INDEX, 191, false},
           {1, 'C', CM_HELP_MODE, 122, false},
           {1, 'C', CM_HELP_ON_HELP, 192, false},
           {1, '-', 0, 0, false},
           {1, 'C', CM_ABOUT, 123, false},
       })
    items.push_back(item);
  return items;
}
