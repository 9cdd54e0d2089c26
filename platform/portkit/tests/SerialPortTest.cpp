#include "platform/portkit/SerialPort.h"

#include "platform/basekit/Message.h"
#include "platform/portkit/LinkTexts.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "platform/portkit/tests/support/TestWindow.h"
#include "testing/TemporaryFolder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal: the test plays the instrument on the master side.
class TPseudoTerminal {
public:
  TPseudoTerminal() {
    Master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (Master >= 0 && ::grantpt(Master) == 0 && ::unlockpt(Master) == 0)
      SlavePath = ::ptsname(Master);
  }
  ~TPseudoTerminal() { CloseMaster(); }
  void CloseMaster() {
    if (Master >= 0)
      ::close(Master);
    Master = -1;
  }
  void Write(std::string_view bytes) const { ASSERT_EQ(::write(Master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }

  int Master = -1;
  std::string SlavePath;
};

TEST(SerialPort, ComPortsAreMappedThroughTheIniFile) {
  const TTemporaryFolder folder;
  const auto ini = folder.Write("Halvetra.ini", "[Serial Ports]\nCOM2=/dev/ttyUSB0\n");
  EXPECT_EQ(ComPortPath(ini.string(), 1), "/dev/ttyUSB0");
  EXPECT_EQ(ComPortPath(ini.string(), 0), "/dev/ttyS0");
  EXPECT_EQ(ComPortPath(ini.string(), 5), "/dev/ttyS5");
  EXPECT_EQ(ComPortPath((folder / "missing.ini").string(), 3), "/dev/ttyS3");
}

TEST(SerialPort, BytesArriveThroughTheNotifierAndAHangUpIsSeen) {
  TPseudoTerminal pty;
  ASSERT_FALSE(pty.SlavePath.empty());
  TPortError error;
  auto port = TSerialPort::Open(pty.SlavePath, "COM1", 57600, error);
  ASSERT_TRUE(port) << error.Detail;

  std::string received;
  bool gone = false;
  port->Watch([&] {
    std::array<std::uint8_t, 64> buffer{};
    while (const auto got = port->Read(buffer)) {
      if (*got == 0)
        return;
      received.append(reinterpret_cast<const char*>(buffer.data()), *got);
    }
    gone = true;
  });
  pty.Write(std::string("\x00\x01\xA5\x5A\xFF\n", 6));  // binary, untouched by the line discipline
  ASSERT_TRUE(RunUntil([&] { return received.size() == 6; }, 5000));
  EXPECT_EQ(received, std::string("\x00\x01\xA5\x5A\xFF\n", 6));

  const std::uint8_t out[] = {0xA5, 0x11, 0x0A};
  EXPECT_TRUE(port->Write(out));
  char echoed[3] = {};
  pollfd ready{pty.Master, POLLIN, 0};
  ASSERT_EQ(::poll(&ready, 1, 5000), 1);
  ASSERT_EQ(::read(pty.Master, echoed, 3), 3);
  EXPECT_EQ(static_cast<std::uint8_t>(echoed[1]), 0x11);

  pty.CloseMaster();
  ASSERT_TRUE(RunUntil([&] { return gone; }, 5000)) << "the hang-up must reach the watch, once";
  EXPECT_FALSE(port->Error().empty());
  EXPECT_FALSE(port->Read(std::span<std::uint8_t>()).has_value());
}

// A purge at the start of an acquisition throws away what the instrument
// sent before it, never a command the program has just written: the
// instrument may not have read the nebulizer's or the stream's off yet.
TEST(SerialPort, APurgeDropsWhatCameInAndKeepsWhatWasWritten) {
  TPseudoTerminal pty;
  ASSERT_FALSE(pty.SlavePath.empty());
  TPortError error;
  auto port = TSerialPort::Open(pty.SlavePath, "COM1", 57600, error);
  ASSERT_TRUE(port) << error.Detail;
  pty.Write("old");
  ASSERT_TRUE(port->WaitForData(5000));
  const std::uint8_t command[] = {0x00, 0x1F};
  ASSERT_TRUE(port->Write(command));
  port->Purge();  // at once, before the instrument reads

  char read[8] = {};
  pollfd ready{pty.Master, POLLIN, 0};
  ASSERT_EQ(::poll(&ready, 1, 5000), 1) << "the command was dropped";
  ASSERT_EQ(::read(pty.Master, read, sizeof read), 2);
  EXPECT_EQ(static_cast<std::uint8_t>(read[1]), 0x1F);
  std::array<std::uint8_t, 8> left{};
  EXPECT_EQ(port->Read(left), std::optional<std::size_t>{0}) << "what came in before the purge is gone";
}

// The port closed and opened again at once, as the window that opens after
// a nebulised dose does: the off the last opening wrote still reaches the
// instrument, though it had not read it yet; what the instrument sent
// before the opening is gone. The instrument is slow here: a backlog it has
// not read keeps the off in the terminal's queue, where an opening that
// flushed the output would drop it.
TEST(SerialPort, AnOpeningKeepsWhatTheLastOneWroteAndDropsWhatCameIn) {
  TPseudoTerminal pty;
  ASSERT_FALSE(pty.SlavePath.empty());
  TPortError error;
  auto port = TSerialPort::Open(pty.SlavePath, "COM1", 57600, error);
  ASSERT_TRUE(port) << error.Detail;
  pty.Write("old");
  ASSERT_TRUE(port->WaitForData(5000));
  const std::vector<std::uint8_t> backlog(8192, 0x55);
  ASSERT_TRUE(port->Write(backlog));
  const std::uint8_t off[] = {0x00, 0x1F};
  ASSERT_TRUE(port->Write(off));
  port.reset();
  port = TSerialPort::Open(pty.SlavePath, "COM1", 57600, error);
  ASSERT_TRUE(port) << error.Detail;

  std::vector<std::uint8_t> received;
  std::array<std::uint8_t, 1024> chunk{};
  pollfd ready{pty.Master, POLLIN, 0};
  while (received.size() < backlog.size() + 2 && ::poll(&ready, 1, 2000) == 1) {
    const ssize_t got = ::read(pty.Master, chunk.data(), chunk.size());
    ASSERT_GT(got, 0);
    received.insert(received.end(), chunk.begin(), chunk.begin() + got);
  }
  ASSERT_EQ(received.size(), backlog.size() + 2) << "written bytes were dropped";
  EXPECT_EQ(received.back(), 0x1F);
  std::array<std::uint8_t, 8> left{};
  EXPECT_EQ(port->Read(left), std::optional<std::size_t>{0}) << "what came in before the opening is gone";
}

TEST(SerialPort, ThePortsSettingsArePutBackWhenItCloses) {
  TPseudoTerminal pty;
  const int probe = ::open(pty.SlavePath.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(probe, 0);
  termios before{};
  ASSERT_EQ(::tcgetattr(probe, &before), 0);
  ASSERT_TRUE(before.c_lflag & ICANON);
  {
    TPortError error;
    const auto port = TSerialPort::Open(pty.SlavePath, "COM1", 57600, error);
    ASSERT_TRUE(port);
    termios during{};
    ::tcgetattr(probe, &during);
    EXPECT_FALSE(during.c_lflag & (ICANON | ECHO)) << "raw while open";
  }
  termios after{};
  ::tcgetattr(probe, &after);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  ::close(probe);
}

// The port checks through real ports: a port that is not there, one that is
// busy, one that is no serial port, a rate the link does not know.
TEST(SerialPort, PortChecksSayWhyAPortCannotBeUsed) {
  const TTemporaryFolder folder;
  TPseudoTerminal pty;
  const auto plainFile = folder.Write("not-a-port", "x");
  const auto ini = folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + (folder / "ttyNone").string() +
                                                    "\nCOM2=" + pty.SlavePath + "\nCOM3=" + plainFile.string() +
                                                    "\nCOM4=\n");
  const TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  TMeasureInterrupt link(0xFFFF, const_cast<TMessage*>(&texts));
  link.SerialPortsIniFile = ini.string();

  TPortError error;
  const auto holder = TSerialPort::Open(pty.SlavePath, "another program", 57600, error);
  ASSERT_TRUE(holder);

  struct Case {
    short port;
    short baudRate;
    std::string expected;
  };
  const std::string com1 = "COM1 (" + (folder / "ttyNone").string() + ")";
  const Case cases[] = {
      {0, 3, texts.Format(TEXT_PORT_MISSING, {com1})},
      {1, 3, texts.Format(TEXT_PORT_BUSY, {"COM2 (" + pty.SlavePath + ")"})},
      {2, 3, texts.Format(TEXT_PORT_NOT_SERIAL, {"COM3 (" + plainFile.string() + ")"})},
      {3, 3, texts.Format(TEXT_PORT_NOT_CONFIGURED, {"COM4"})},
      {0, 7, texts.Format(TEXT_PORT_BAD_BAUD_RATE, {"7"})},
  };
  for (const Case& c : cases) {
    link.PortConfig.Port = c.port;
    link.PortConfig.BaudRate = c.baudRate;
    EXPECT_FALSE(link.TestSerialPort()) << c.port;
    EXPECT_EQ(link.LastPortError, c.expected);
    EXPECT_FALSE(link.PortInUse);
  }
}

}  // namespace

// The audiometer's rates include two that termios has no constant for; a
// pseudo-terminal has no modem lines and no error counters, and neither is
// a failure.
TEST(SerialPort, AnyRateIsSetAndAPseudoTerminalHasNoModemLinesOrErrorCounts) {
  TPseudoTerminal pty;
  for (const int rate : {9600, 56000, 128000}) {
    TPortError error;
    const auto port = TSerialPort::Open(pty.SlavePath, "COM1", rate, error);
    ASSERT_TRUE(port) << rate << ": " << error.Detail;
    EXPECT_EQ(port->ActualBaudRate(), rate);
    EXPECT_TRUE(port->SetDtr(true));
    EXPECT_TRUE(port->SetRts(true));
    EXPECT_TRUE(port->SetDtr(false));
    const auto errors = port->TakeLineErrors();
    EXPECT_EQ(errors.Framing + errors.Overrun + errors.ReceiveOverflow, 0);
  }
  TPortError error;
  EXPECT_FALSE(TSerialPort::Open(pty.SlavePath, "COM1", 0, error));
  EXPECT_EQ(error.Kind, TPortFailure::BadBaudRate);
}
