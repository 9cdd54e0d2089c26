#pragma once

// The two dialogs of rhinomanometry, thin over their decisions in
// special/rhinomanometry: TRhinoProv (the agent of a nasal provocation,
// template 20136) and TRhinoParam (the pressures the tables show, template
// 20138).

#include "special/rhinomanometry/RhinoProvocationSheet.h"
#include "special/rhinomanometry/RhinoRowsSheet.h"

#include <QDialog>

#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TMessage;

class TRhinoProv final : public QDialog {
public:
  TRhinoProv(TMessage& messages, QWidget* parent, const std::string& iniFile);

  QComboBox* GetMaterialBox() const { return Material; }
  QLineEdit* GetConcentrationEdit() const { return Concentration; }
  QLineEdit* GetDoseEdit() const { return Dose; }
  QPushButton* GetOkButton() const { return Ok; }
  // What OK handed over; nothing after Cancel.
  const std::optional<TRhinoProvocationEntry>& Entry() const { return Result; }

  // The typed text becomes a material when the box loses the focus.
  void TakeTypedMaterial();
  void accept() override;

  static constexpr int HelpId = 20125;

private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void UpdateOk();

  TRhinoProvocationSheet Sheet;
  TMessage& Messages;
  std::string IniFile;
  QComboBox* Material = nullptr;
  QLineEdit* Concentration = nullptr;
  QLineEdit* Dose = nullptr;
  QPushButton* Ok = nullptr;
  std::optional<TRhinoProvocationEntry> Result;
};

class TRhinoParam final : public QDialog {
public:
  TRhinoParam(TMessage& messages, QWidget* parent, TRhinoRows& anterior, TRhinoRows& posterior);

  QCheckBox* GetCheckBox(std::size_t box) const { return box < Boxes.size() ? Boxes[box] : nullptr; }
  QPushButton* GetOkButton() const { return Ok; }
  void accept() override;

  static constexpr int HelpId = 64;

private:
  TRhinoRowsSheet Sheet;
  TRhinoRows& Anterior;
  TRhinoRows& Posterior;
  std::array<QCheckBox*, TRhinoRowsSheet::Boxes> Boxes{};
  QPushButton* Ok = nullptr;
};
