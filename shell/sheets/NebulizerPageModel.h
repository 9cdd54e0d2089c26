#pragma once

// What the nebulizer page decides: the "Nebulizer" section (model, output
// of the two heads, the start pressure, the unit of dose) and the test that
// asks the sheet's instrument whether it drives a nebulizer. A nebulizer
// the instrument does not report is switched off and stored so at once.

#include <string>
#include <vector>

class TMessage;

struct TNebulizerStatus {
  short Install = 0;
  short Port = 3;  // index into the model list
  short DelayCycle = 1;
  short UnitOfDose = 0;  // 0 ml, 1 mg
  std::string HeadPurple = "0.12";  // ml/min, as typed
  std::string HeadGreen = "0.3";
  std::string MouthPressure = "200";  // Pa
};

class TNebulizerPageModel {
public:
  TNebulizerPageModel(bool demo, TMessage& texts, std::string iniPath, short deviceKind);

  // With `hardwareOnly` only the sheet's instrument is read again.
  void ReadHardwareStatus(bool hardwareOnly);
  std::string WriteHardwareStatus();

  void Setup();
  void SelectModel(int index);
  void CheckComPort();
  // The three fields, kept as typed within their widths.
  void SetHeadPurple(const std::string& text) { Status.HeadPurple = text.substr(0, 5); }
  void SetHeadGreen(const std::string& text) { Status.HeadGreen = text.substr(0, 5); }
  void SetMouthPressure(const std::string& text) { Status.MouthPressure = text.substr(0, 3); }
  void SetUnitOfDose(int index);

  const std::vector<std::string>& Models() const { return ModelEntries; }
  int Selected() const { return Selection; }
  bool TestEnabled() const { return TestButton; }
  const std::string& StatusLine() const { return Line; }
  const TNebulizerStatus& Values() const { return Status; }
  // The sheet's instrument is installed, live and reports a nebulizer.
  bool InstrumentDrivesNebulizer() const { return InstrumentNebulizer; }
  short VersionOfHardware() const { return Version; }

private:
  bool Demo;
  TMessage& Texts;
  std::string IniPath;
  short Kind;
  TNebulizerStatus Status;
  short Version = 0;
  bool InstrumentNebulizer = false;
  std::vector<std::string> ModelEntries;
  int Selection = -1;
  bool TestButton = false;
  std::string Line;
};
