#include "shell/bars/MainMenuLayout.h"

#include "common/CommandNumbers.h"
#include "shell/client/EcgHandOver.h"

TMenuEntry TMenuEntry::Command(unsigned id, int textNumber, bool ellipsis) {
  TMenuEntry entry;
  entry.Kind = TKind::Command;
  entry.Id = id;
  entry.TextNumber = textNumber;
  entry.Ellipsis = ellipsis;
  return entry;
}

TMenuEntry TMenuEntry::CommandWithKey(unsigned id, int textNumber, std::string key) {
  TMenuEntry entry = Command(id, textNumber);
  entry.Key = std::move(key);
  return entry;
}

TMenuEntry TMenuEntry::CommandWithSuffix(unsigned id, int textNumber, std::string suffix) {
  TMenuEntry entry = Command(id, textNumber);
  entry.Suffix = std::move(suffix);
  return entry;
}

TMenuEntry TMenuEntry::Separator() { return {}; }

TMenuEntry TMenuEntry::Popup(int textNumber, std::vector<TMenuEntry> items) {
  TMenuEntry entry;
  entry.Kind = TKind::Popup;
  entry.TextNumber = textNumber;
  entry.Items = std::move(items);
  return entry;
}

namespace MainMenu {

std::vector<TMenuEntry> Layout(bool ecgAvailable, bool addUsbDescription) {
  using E = TMenuEntry;
  constexpr bool Dots = true;

  std::vector<E> patient{
      E::Command(CM_PATIENT_NEW, 240),
      E::Separator(),
      E::Command(CM_PATIENT_SEARCH, 242),
      E::Command(CM_PATIENT_LIST, 241),
      E::Command(CM_PATIENT_SAVE, 243),
      E::Command(CM_PATIENT_CANCEL, 87),
      E::Separator(),
      E::Command(CM_PATIENT_FIRST, 244),
      E::Command(CM_PATIENT_PREV, 245),
      E::Command(CM_PATIENT_NEXT, 246),
      E::Command(CM_PATIENT_LAST, 247),
      E::Separator(),
      E::Command(CM_BROWSE_MEASUREMENTS, 248),
      E::Command(CM_PATIENT_NOTE, 251),
  };
  if (ecgAvailable) {
    E ecg = E::Command(CM_ECG, -1);
    ecg.FixedText = "EKG";
    patient.push_back(E::Separator());
    patient.push_back(std::move(ecg));
  }

  std::vector<E> settings{
      E::Command(CM_START_UP_SETTINGS, 120, Dots),
      E::Separator(),
      E::Command(CM_DATABASE_LOCATION, 423, Dots),
      E::Command(CM_DOCTORS, 254, Dots),
      E::Command(CM_INSTITUTE, 115),
  };
  if (addUsbDescription) {
    settings.push_back(E::Separator());
    settings.push_back(E::Command(CM_USB_DESCRIPTION, 552, Dots));
  }
  for (E& entry : std::vector<E>{
           E::Separator(),
           E::Command(CM_HARDWARE_SETUP, 114),
           E::Command(CM_DIFFUSION_SETUP, 425, Dots),
           E::Command(CM_PLETHYSMOGRAPH_SETUP, 483, Dots),
           E::Separator(),
           E::Command(CM_AUDIO_SETUP, 377, Dots),
           E::Command(CM_AUDIO_CALIBRATION, 418, Dots),
           E::Command(CM_AUTOMATIC_SETUP, 415, Dots),
       })
    settings.push_back(std::move(entry));

  E file = E::Popup(105, {
                             E::Command(CM_OPEN_PATIENT, 106),
                             E::Separator(),
                             E::Popup(125, std::move(patient)),
                             E::Popup(107, {E::Command(CM_NEW_DATABASE, 108), E::Separator(),
                                            E::Command(CM_MERGE_DATABASES, 112)}),
                             E::Separator(),
                             E::Popup(113, std::move(settings)),
                             E::Separator(),
                             E::Command(CM_FILEPRINTERSETUP, 116),
                             E::Command(CM_FILEPRINTPREVIEW, 117),
                             E::Command(CM_FILEPRINT, 118),
                             E::Separator(),
                             E::Command(CM_EXIT, 119),
                         });
  E help = E::Popup(121, {
                             E::Command(CM_HELP_INDEX, 191),
                             E::Command(CM_HELP_MODE, 122),
                             E::Command(CM_HELP_ON_HELP, 192),
                             E::Separator(),
                             E::Command(CM_ABOUT, 123),
                         });

  std::vector<E> bar;
  bar.push_back(std::move(file));
  bar.push_back(E::Separator());
  bar.push_back(E::Separator());
  bar.push_back(std::move(help));
  return bar;
}

bool EcgProgramPresent(const std::string& iniPath) { return Ecg::ProgramFile(iniPath).has_value(); }

}  // namespace MainMenu
