#pragma once

// The "Audio" service page: opens the audiometer's port through a link of
// its own, sends single commands composed bit by bit, shows every answer
// byte and their count, and converts between a hearing level and the
// value byte with the earphone's corrections.

#include "audiometry/link/AudioInterrupt.h"
#include "audiometry/setup/ServiceConversion.h"
#include "platform/framework/EventHandler.h"

#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TMessage;

class TAudioServicePage final : public QWidget, public TEventHandler {
public:
  TAudioServicePage(short demo, TMessage* texts, std::string iniPath, QWidget* parent = nullptr);
  ~TAudioServicePage() override;

  // After the sheet closes: the port is closed if it is open.
  void HaveToKillHandler();

  void BNStartStop();
  void BNSend();
  void CmStop();
  void CmChangeDB();
  void CmChangeCommand();
  bool IsStarted() const { return Started; }
  TAudioInterrupt& Link() { return *PageLink; }

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

protected:
  void hideEvent(QHideEvent* event) override;

private:
  void EvCommNotify(TParam1 handle, TParam2);
  unsigned Bits(const std::array<QCheckBox*, 8>& boxes) const;
  void Step(QLineEdit* edit, int delta, int low, int high);

  TMessage* Texts;
  short DemoArgument;
  std::string IniPath;
  TServiceConversion Conversion;
  std::unique_ptr<TAudioInterrupt> PageLink;
  bool Started = false;
  bool Converting = false;

  std::array<QCheckBox*, 8> CommandBits{};
  std::array<QCheckBox*, 8> CodeBits{};
  std::array<QCheckBox*, 8> AnswerBits{};
  QLineEdit* Value = nullptr;
  QLineEdit* Db = nullptr;
  QLabel* Counter = nullptr;
  QLabel* Status = nullptr;
  QPushButton* StartStop = nullptr;
  QPushButton* Send = nullptr;
};
