#include "patients/StartUp.h"

#include "patients/DialogParts.h"
#include "patients/StartUpChoices.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/Utf8.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QComboBox>
#include <QFormLayout>
#include <QTimer>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int StartUpCaptionText = 120;
constexpr int LanguageLabel = 233;
constexpr int SheetKindLabel = 234;
constexpr int UnitLabel = 235;
constexpr int DriverLabel = 267;
constexpr int NoDriverText = 6100;

QComboBox* Combo(QWidget& parent, int id) {
  auto* combo = Named(new QComboBox(&parent), id);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return combo;
}

std::string Selected(const QComboBox& combo, std::size_t capacity) {
  return std::string(Utf8::Truncate(combo.currentIndex() < 0 ? "" : combo.currentText().toStdString(), capacity - 1));
}

}  // namespace

std::vector<std::string> TStartUp::LoadLanguageDrivers(TMessage& messages, const std::string& privateFolder) {
  TEngine engine;
  engine.SetMessages(&messages);
  std::vector<std::string> drivers;
  if (engine.DbInit(privateFolder, "") == DbResult::Ok) {
    if (engine.GetLanguageDriverList(drivers) != DbResult::Ok)
      drivers.clear();
    engine.DbExit();
  }
  return drivers;
}

TStartUp::TStartUp(TMessage& messages, QWidget* parent, TStartUpStruct& values,
                   const std::filesystem::path& languageFolder)
    : TStartUp(messages, parent, values, LoadLanguageDrivers(messages, values.PrivateFolder),
               StartUpChoices::ShippedLanguages(languageFolder)) {}

TStartUp::TStartUp(TMessage& messages, QWidget* parent, TStartUpStruct& values, const std::vector<std::string>& drivers,
                   const std::vector<std::string>& languages)
    : QDialog(parent),
      Messages(messages),
      Values(values),
      Drivers(drivers),
      Language(Combo(*this, LanguageId)),
      Driver(Combo(*this, DriverId)),
      SheetKind(Combo(*this, SheetKindId)),
      Unit(Combo(*this, UnitId)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, StartUpCaptionText));

  // A language without its text file would show every label as a number.
  for (const std::string& language : languages)
    Language->addItem(QString::fromStdString(language));
  Language->setCurrentText(QString::fromStdString(values.Language));
  if (Language->currentText().toStdString() != values.Language)
    Language->setCurrentIndex(-1);

  for (const std::string& driver : Drivers)
    Driver->addItem(QString::fromStdString(driver));
  Driver->setCurrentIndex(
      values.LanguageDriver.empty() ? -1 : StartUpChoices::DriverIndexForStored(Drivers, values.LanguageDriver));

  for (const int text : StartUpChoices::SheetKindTexts(false))
    SheetKind->addItem(Caption(messages, text));
  // A page type the sheet does not know opens the full sheet.
  SheetKind->setCurrentIndex(values.PageType >= 0 && values.PageType < SheetKind->count() ? values.PageType
                                                                                          : SheetKind->count() - 1);

  for (const std::string_view unit : StartUpChoices::Units)
    Unit->addItem(QString::fromUtf8(unit.data(), static_cast<qsizetype>(unit.size())));
  Unit->setCurrentIndex(values.DefaultUnit == 1 ? 1 : 0);

  // The database's driver is chosen once: its tables are made with it.
  Driver->setEnabled(values.LanguageDriver.empty());
  CmChangeLanguage();
  connect(Language, &QComboBox::currentIndexChanged, this, [this] { CmChangeLanguage(); });

  auto* fields = new QFormLayout;
  fields->addRow(Label(*this, messages, 5465, LanguageLabel, Language), Language);
  fields->addRow(Label(*this, messages, 5467, DriverLabel, Driver), Driver);
  fields->addRow(Label(*this, messages, 5463, SheetKindLabel, SheetKind), SheetKind);
  fields->addRow(Label(*this, messages, 5461, UnitLabel, Unit), Unit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(Buttons(*this, messages, HelpId, true).Box);
  CenterOnShow(*this);
}

void TStartUp::CmChangeLanguage() {
  if (!Driver->isEnabled())
    return;
  if (Drivers.empty()) {
    // Without the engine's drivers nothing can be chosen here.
    CloseWhenIdle();
    return;
  }
  Driver->setCurrentIndex(StartUpChoices::DriverIndexForLanguage(Drivers, Language->currentText().toStdString()));
}

void TStartUp::CloseWhenIdle() {
  ClosePending = true;
  if (isVisible())
    QTimer::singleShot(0, this, &QDialog::reject);
}

void TStartUp::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (ClosePending)
    QTimer::singleShot(0, this, &QDialog::reject);
}

void TStartUp::accept() {
  const std::string driver = Selected(*Driver, TStartUpStruct::LanguageDriverSize);
  // The database keeps the name after the comma; an entry without one
  // names no driver.
  if (!StartUpChoices::DriverName(driver) && (Driver->isEnabled() || !driver.empty())) {
    Messages.MessageBox(NoDriverText, 0, TMessageIcon::Information);
    Driver->setFocus();
    return;
  }
  Values.Language = Selected(*Language, TStartUpStruct::LanguageSize);
  Values.LanguageDriver = driver;
  Values.PageType = static_cast<short>(SheetKind->currentIndex());
  Values.DefaultUnit = static_cast<short>(Unit->currentIndex());
  QDialog::accept();
}
