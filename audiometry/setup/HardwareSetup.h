#pragma once

// How the audiometer is attached, as the configuration page edits it: the
// hardware keys of section "Audio", the page's port list (not installed,
// demonstration, COM1 to COM6, the FTDI devices whose description names an
// audiometer) and what choosing an item or testing the port does to them.

#include <string>
#include <vector>

class TAudioInterrupt;
class TMessage;

struct TAudioHardware {
  static constexpr std::size_t DescriptionSize = 64;
  static constexpr int PortUsb = 6;
  static constexpr int FirstUsbItem = 8;

  bool DemoConfiguration = false;  // the program runs as a demonstration
  int Install = 0;
  int Demo = 1;
  int BaudRate = 3;
  int InputBuffer = 32767;
  int OutputBuffer = 128;
  int Port = 1;
  int WaitAnswer = 30;
  std::string USBDescription;

  // The program's demonstration configuration reads nothing.
  static TAudioHardware Read(const std::string& iniFile, bool demoConfiguration);
  // Install, Demo, Port and USBDescription; nothing in the demonstration
  // configuration. False when the file cannot be written.
  bool Write(const std::string& iniFile) const;

  // The combo box's items; `usbDevices` are the attached FTDI devices.
  std::vector<std::string> PortItems(const TMessage* texts, const std::vector<std::string>& usbDevices) const;
  // The item chosen when the page opens: the stored USB description's
  // item, added to `items` when that device is absent.
  int InitialItem(std::vector<std::string>& items) const;

  // What choosing item `index` of `items` does; the status text number
  // (0 none) and whether the port can be tested.
  struct TChoice {
    int StatusText = 0;
    bool TestEnabled = false;
  };
  TChoice Choose(int index, const std::vector<std::string>& items);
  // After a port test: the audiometer answered or it did not.
  void Tested(bool answered);
  // Gives a link of the page these settings, installed, with the COM ports
  // of `iniFile`.
  void Configure(TAudioInterrupt& link, const std::string& iniFile) const;
};
