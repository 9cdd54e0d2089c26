#include "special/provocation/ui/ProvDialogs.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/MessageSink.h"
#include "platform/basekit/ui/ScreenFont.h"
#include "platform/framework/EventHandler.h"
#include "platform/framework/ui/DialogCentring.h"
#include "special/provocation/ProvocationTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

using namespace ProvocationTexts;

constexpr int CancelText = 87;
constexpr int HelpText = 88;
constexpr int ParamLabelText = 325;

QString Text(const TMessage& texts, int number) { return QString::fromStdString(texts.LoadStringA(number)); }

template <class TWidget>
TWidget* Named(TWidget* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

// OK, Cancel and Help; Help sends the dialog's help id to the main window.
QDialogButtonBox* Buttons(QDialog* dialog, const TMessage& texts, TEventHandler* mainWindow, int helpId,
                          QPushButton*& ok) {
  auto* buttons = new QDialogButtonBox(dialog);
  ok = Named(buttons->addButton(QDialogButtonBox::Ok), IDOK);
  ok->setDefault(true);
  auto* cancel = Named(buttons->addButton(QDialogButtonBox::Cancel), IDCANCEL);
  cancel->setText(Text(texts, CancelText));
  auto* help = Named(buttons->addButton(QDialogButtonBox::Help), 9);
  help->setText(Text(texts, HelpText));
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  TEventHandlerPtr main(mainWindow);
  QObject::connect(help, &QPushButton::clicked, dialog, [main, helpId] {
    if (main)
      SendMessage(main, WM_SHOW_HELP, static_cast<TParam1>(helpId), 0);
  });
  return buttons;
}

QLineEdit* Edit(QWidget* parent, int id, int maxLength) {
  auto* edit = Named(new QLineEdit(parent), id);
  edit->setMaxLength(maxLength);
  return edit;
}

QComboBox* NameCombo(QWidget* parent, int id) {
  auto* combo = Named(new QComboBox(parent), id);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->lineEdit()->setMaxLength(static_cast<int>(TProvSetupRecord::NameSize) - 1);
  combo->setMinimumContentsLength(24);
  return combo;
}

// Leaving a control's focus: the set-up takes what was typed there.
class TFocusLeft final : public QObject {
public:
  TFocusLeft(QObject* parent, std::function<void()> left) : QObject(parent), Left(std::move(left)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::FocusOut)
      Left();
    return false;
  }

private:
  std::function<void()> Left;
};

}  // namespace

// --- Set-up --------------------------------------------------------------------------

TProvSetup::TProvSetup(const TMessage& texts, QWidget* parent, const std::string& iniPath, bool nebulizerAvailable,
                       TEventHandler* mainWindow)
    : QDialog(parent), Texts(texts), Setup(iniPath, nebulizerAvailable) {
  setWindowTitle(Text(texts, SetupTitle));
  auto* layout = new QVBoxLayout(this);

  auto* names = new QGridLayout;
  names->addWidget(Named(new QLabel(Text(texts, MaterialLabel), this), 5899), 0, 0);
  Material = NameCombo(this, 5874);
  names->addWidget(Material, 0, 1);
  names->addWidget(Named(new QLabel(Text(texts, SolutionLabel), this), 5903), 1, 0);
  Solution = NameCombo(this, 5902);
  names->addWidget(Solution, 1, 1);
  layout->addLayout(names);

  auto* choices = new QHBoxLayout;
  const auto radioGroup = [&](int groupId, int title, std::initializer_list<std::pair<int, int>> radios,
                              auto& store) {
    auto* box = Named(new QGroupBox(Text(texts, title), this), groupId);
    auto* column = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    std::size_t k = 0;
    for (const auto& [id, text] : radios) {
      auto* radio = Named(new QRadioButton(Text(texts, text), box), id);
      group->addButton(radio, static_cast<int>(k));
      column->addWidget(radio);
      store[k++] = radio;
    }
    column->addStretch();
    choices->addWidget(box);
    return group;
  };
  auto* modes = radioGroup(5895, ModeLabel, {{5870, ModeTyped}, {5871, ModeNebulised}}, ModeRadio);
  auto* types = radioGroup(5896, TypeLabel, {{5872, ConcentrationLabel}, {5873, TypeQueue}, {5904, TypeTargetDose}},
                           TypeRadio);
  auto* heads = radioGroup(5897, HeadLabel, {{5892, HeadPurple}, {5893, HeadGreen}}, HeadRadio);
  layout->addLayout(choices);

  auto* doses = new QGridLayout;
  ConcentrationCaption = Named(new QLabel(Text(texts, ConcentrationLabel) + QLatin1Char(':'), this), 5901);
  Concentration = Edit(this, 5891, static_cast<int>(TProvSetupRecord::TypedNumberSize));
  doses->addWidget(ConcentrationCaption, 0, 0);
  doses->addWidget(Concentration, 0, 1);
  doses->addWidget(new QLabel(Text(texts, MaximumLabel) + QLatin1Char(':'), this), 0, 2);
  Maximum = Edit(this, 5894, static_cast<int>(TProvSetupRecord::TypedNumberSize));
  doses->addWidget(Maximum, 0, 3);
  Unit = Named(new QLabel(this), 5905);
  doses->addWidget(Unit, 0, 4);
  Accum = Named(new QCheckBox(Text(texts, Accumulated), this), 5900);
  doses->addWidget(Accum, 0, 5);
  layout->addLayout(doses);

  QueueCaption = Named(new QLabel(Text(texts, QueueLabel) + QLatin1Char(':'), this), 5898);
  layout->addWidget(QueueCaption);
  auto* queue = new QGridLayout;
  for (std::size_t k = 0; k < QueueEdit.size(); ++k) {
    QueueEdit[k] = Edit(this, 5875 + static_cast<int>(k), static_cast<int>(TProvSetupRecord::EntrySize));
    QueueEdit[k]->setMaximumWidth(QueueEdit[k]->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    queue->addWidget(QueueEdit[k], static_cast<int>(k / 8), static_cast<int>(k % 8));
    connect(QueueEdit[k], &QLineEdit::textEdited, this, [this, k](const QString& text) {
      Setup.SetQueueBox(k, text.toStdString());
      UpdateOk();
    });
  }
  layout->addLayout(queue);
  layout->addWidget(Buttons(this, texts, mainWindow, ResourceId, Ok));

  connect(modes, &QButtonGroup::idClicked, this, [this](int id) { Setup.SetMode(id); });
  connect(types, &QButtonGroup::idClicked, this, [this](int id) {
    Setup.SetType(id);
    Refresh();
  });
  connect(heads, &QButtonGroup::idClicked, this, [this](int id) { Setup.SetHead(id); });
  connect(Concentration, &QLineEdit::textEdited, this, [this](const QString& text) {
    Setup.SetConcentration(text.toStdString());
    UpdateOk();
  });
  connect(Maximum, &QLineEdit::textEdited, this, [this](const QString& text) { Setup.SetMaximum(text.toStdString()); });
  connect(Accum, &QCheckBox::toggled, this, [this](bool on) { Setup.SetAccum(on); });
  connect(Material, &QComboBox::activated, this, [this](int index) {
    Setup.SelectMaterial(index);
    IssuesShown = false;
    ShowLoadIssues();
    Refresh();
  });
  connect(Material->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    Setup.EditMaterial(text.toStdString());
    UpdateOk();
  });
  connect(Solution, &QComboBox::activated, this, [this](int index) {
    Setup.EditSolution(Solution->itemText(index).toStdString());
    Setup.SolutionLeft();
  });
  connect(Solution->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    Setup.EditSolution(text.toStdString());
    UpdateOk();
  });
  Material->lineEdit()->installEventFilter(new TFocusLeft(this, [this] {
    Setup.MaterialLeft();
    Refresh();
  }));
  Solution->lineEdit()->installEventFilter(new TFocusLeft(this, [this] {
    Setup.SolutionLeft();
    Refresh();
  }));

  Setup.Load();
  Refresh();
  CenterOnShow(*this);
}

void TProvSetup::Refresh() {
  const auto fill = [](QComboBox* combo, const std::vector<std::string>& items, int index, const std::string& text) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const std::string& item : items)
      combo->addItem(QString::fromStdString(item));
    combo->setCurrentIndex(index);
    combo->setEditText(QString::fromStdString(text));
  };
  fill(Material, Setup.Materials(), Setup.MaterialIndex(), Setup.MaterialText());
  fill(Solution, Setup.Solutions(), Setup.SolutionIndex(), Setup.SolutionText());
  const auto check = [](auto& radios, int chosen) {
    for (std::size_t k = 0; k < radios.size(); ++k) {
      radios[k]->setAutoExclusive(false);
      radios[k]->setChecked(static_cast<int>(k) == chosen);
      radios[k]->setAutoExclusive(true);
    }
  };
  check(ModeRadio, Setup.GetMode());
  check(TypeRadio, Setup.GetType());
  check(HeadRadio, Setup.GetHead());
  ModeRadio[1]->setEnabled(Setup.ModeNebulisedEnabled());
  for (std::size_t k = 0; k < QueueEdit.size(); ++k) {
    QueueEdit[k]->setText(QString::fromStdString(Setup.QueueBoxes()[k]));
    QueueEdit[k]->setEnabled(Setup.QueueEnabled());
  }
  QueueCaption->setEnabled(Setup.QueueEnabled());
  Concentration->setText(QString::fromStdString(Setup.GetConcentration()));
  Concentration->setEnabled(Setup.ConcentrationEnabled());
  ConcentrationCaption->setEnabled(Setup.ConcentrationEnabled());
  Maximum->setText(QString::fromStdString(Setup.GetMaximum()));
  {
    const QSignalBlocker quiet(Accum);
    Accum->setChecked(Setup.GetAccum());
  }
  Unit->setText(QString::fromStdString(Setup.UnitLabel()));
  UpdateOk();
}

void TProvSetup::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ShowLoadIssues();
}

void TProvSetup::ShowLoadIssues() {
  if (IssuesShown)
    return;
  IssuesShown = true;
  for (const TSetupIssue& issue : Setup.LoadIssues())
    Texts.MessageBoxText(IssueText(Texts, issue, Setup.MaterialText()), 0, TMessageIcon::Stop);
}

void TProvSetup::UpdateOk() { Ok->setEnabled(Setup.IsOkEnabled()); }

void TProvSetup::accept() {
  if (!Setup.IsOkEnabled())
    return;
  QDialog::accept();
  Setup.Store();
}

// --- Parameter of a column -----------------------------------------------------------

TProvParam::TProvParam(const TMessage& texts, short* code, short* limit, QWidget* parent, TEventHandler* mainWindow)
    : QDialog(parent), CodeResult(code), LimitResult(limit), Param(code ? *code : short{-1}, limit ? *limit : short{0}) {
  setWindowTitle(Text(texts, ParamTitle));
  auto* layout = new QVBoxLayout(this);
  auto* label = Named(new QLabel(Text(texts, ParamLabelText), this), 5911);
  layout->addWidget(label);
  auto* row = new QHBoxLayout;
  Combo = Named(new QComboBox(this), 5910);
  label->setBuddy(Combo);
  Combo->setFont(ScreenFont("Courier New", 10, 700));
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int width = screen ? screen->geometry().width() : 800;
  for (const std::string& item : TProvParamModel::Items(width))
    Combo->addItem(QString::fromStdString(item));
  Combo->setMaxVisibleItems(20);
  Combo->setCurrentIndex(Param.Selection());
  row->addWidget(Combo, 1);
  Limit = Edit(this, 5912, 3);
  Limit->setText(QString::fromStdString(Param.LimitText()));
  Limit->setMaximumWidth(Limit->fontMetrics().horizontalAdvance(QStringLiteral("-0000")) + 12);
  row->addWidget(Limit);
  row->addWidget(new QLabel(QStringLiteral("%"), this));
  layout->addLayout(row);
  layout->addWidget(Buttons(this, texts, mainWindow, ResourceId, Ok));
  connect(Combo, &QComboBox::currentIndexChanged, this, [this](int index) {
    Param.Select(index);
    UpdateOk();
  });
  connect(Limit, &QLineEdit::textChanged, this, [this](const QString& text) {
    Param.SetLimitText(text.toStdString());
    UpdateOk();
  });
  UpdateOk();
  CenterOnShow(*this);
}

void TProvParam::UpdateOk() { Ok->setEnabled(Param.IsOkEnabled()); }

void TProvParam::accept() {
  if (!Param.IsOkEnabled())
    return;
  QDialog::accept();
  if (CodeResult)
    *CodeResult = Param.Code();
  if (LimitResult)
    *LimitResult = Param.LimitValue();
}

// --- Dose of the next step ----------------------------------------------------------

TProvInput::TProvInput(const TMessage& texts, float* dose, float maximum, unsigned short accumulate,
                       unsigned short unit, QWidget* parent, TEventHandler* mainWindow)
    : QDialog(parent), DoseResult(dose), Input(dose ? *dose : 0.0f, maximum, accumulate != 0, unit) {
  setWindowTitle(Text(texts, DoseCaption));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = Named(new QLabel(Text(texts, DoseLabel), this), 5941);
  row->addWidget(label);
  Edit = ::Edit(this, 5940, 4);
  Edit->setText(QString::fromStdString(Input.DoseText()));
  label->setBuddy(Edit);
  row->addWidget(Edit);
  row->addWidget(Named(new QLabel(QString::fromStdString(Input.UnitLabel()), this), 5905));
  layout->addLayout(row);
  layout->addWidget(Buttons(this, texts, mainWindow, HelpId, Ok));
  connect(Edit, &QLineEdit::textChanged, this, [this](const QString& text) {
    Input.SetDoseText(text.toStdString());
    Ok->setEnabled(Input.IsOkEnabled());
  });
  Ok->setEnabled(Input.IsOkEnabled());
  CenterOnShow(*this);
}

void TProvInput::accept() {
  if (!Input.IsOkEnabled())
    return;
  QDialog::accept();
  if (DoseResult)
    *DoseResult = Input.Dose();
}
