#pragma once

// What the port page of an instrument sheet decides: the hardware status of
// its section, the list of ports (no instrument, DEMO, COM1 to COM6, the
// attached FTDI devices whose description fits the sheet), what a choice
// does, the port test on a link of its own and the line that says how it
// went. The page only shows it.

#include "platform/ftdi/FtdiDevice.h"
#include "records/DemoReplay.h"
#include "shell/sheets/HardwareStatus.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class TMessage;

class TConfigPageModel {
public:
  using TDeviceLister = std::function<TFtdiDevice::TList()>;

  // Reads the status at once. `demo` is the program's demonstration switch:
  // only "DEMO" is offered and nothing is written.
  TConfigPageModel(bool demo, TMessage& texts, std::string iniPath, short deviceKind,
                   TDeviceLister lister = &TFtdiDevice::ListDescriptions,
                   std::filesystem::path demoFolder = DemoReplay::DemoFolder());

  void ReadHardwareStatus();
  // Nothing under the demonstration switch. An empty answer when written.
  std::string WriteHardwareStatus();

  // Fills the list and makes the first choice: none, DEMO, or the stored
  // port, which is tested at once.
  void Setup();
  // The user chose an entry (-1 none).
  void SelectPort(int index);
  // The test button: the chosen port on a link of the page's own.
  void CheckComPort();
  // The pump field: a first character 1 to 9 is the volume in litres.
  void SetPumpText(const std::string& text);
  void SetBackExtrapolation(int index);
  void SetCalibrationCycle(int index);

  const std::vector<std::string>& PortEntries() const { return Entries; }
  int Selected() const { return Selection; }
  bool TestEnabled() const { return TestButton; }
  const std::string& StatusLine() const { return Line; }
  const THardwareStatus& Status() const { return Hardware; }
  short DeviceKind() const { return Kind; }
  // The lists of the page, in their order.
  static std::vector<std::string> CycleEntries() { return {"6", "8", "10"}; }
  static std::vector<std::string> ExtrapolationEntries() { return {"ECCS", "ATS"}; }
  // The recorded tests that take the instrument's place: the replay's files.
  static const std::vector<std::string>& DemoFiles();

private:
  void CheckDemoFiles();
  std::string Text(int number) const;

  bool Demo;
  TMessage& Texts;
  std::string IniPath;
  short Kind;
  TDeviceLister Lister;
  std::filesystem::path DemoFolder;  // where the replay reads the demonstration files
  THardwareStatus Hardware;
  std::vector<std::string> Entries;
  int Selection = -1;
  bool TestButton = false;
  std::string Line;
};
