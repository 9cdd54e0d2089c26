#pragma once

// The trend's two small dialogs: the parameter of one header column, and
// which kinds of examination enter a trend.

#include <QDialog>

class QCheckBox;
class QComboBox;
class TEventHandler;
class TMessage;

class TTrendParam : public QDialog {
public:
  static constexpr int ResourceId = 20122;
  // `slot` is written on OK only.
  TTrendParam(const TMessage* messages, short* slot, QWidget* parent = nullptr, TEventHandler* mainWindow = nullptr);

  QComboBox* ComboBox() const { return Combo; }
  void accept() override;

  // "%s%*s": the name, then the unit right-aligned so that the units end in
  // one column on a screen `screenWidth` pixels wide.
  static std::string ItemText(std::string_view name, std::string_view unit, int screenWidth);

private:
  short* Slot;
  QComboBox* Combo;
};

class TTrendFilter : public QDialog {
public:
  static constexpr int ResourceId = 20123;
  // The results are written on OK only.
  TTrendFilter(const TMessage* messages, bool* provoked, bool* lysis, QWidget* parent = nullptr,
               TEventHandler* mainWindow = nullptr);

  QCheckBox* ProvokedBox() const { return Provoked; }
  QCheckBox* LysisBox() const { return Lysis; }
  void accept() override;

private:
  bool* ProvokedResult;
  bool* LysisResult;
  QCheckBox* Provoked;
  QCheckBox* Lysis;
};
