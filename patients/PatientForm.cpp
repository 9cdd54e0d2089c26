#include "patients/PatientForm.h"

#include "patients/PatientSheet.h"
#include "patients/PatientUpDown.h"
#include "platform/basekit/Message.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

using namespace PatientControl;

namespace {

// One line of the form: a label (or none under a tab), its field and the
// arrows beside the field.
struct TFormRow {
  int Label = 0;
  int Field = 0;
  int UpDown = 0;
};

// Lines that stand together; under a tab bar when Tab is set, since the
// tab chooses which set of values the lines show.
struct TFormBlock {
  int Tab = 0;
  std::vector<TFormRow> Rows;
};

struct TFormColumns {
  std::vector<TFormBlock> Left, Right;
};

const TFormRow NameRow{NameLabel, Name}, MotherRow{MotherNameLabel, MotherName}, MaidenRow{MaidenNameLabel, MaidenName},
    PostcodeRow{PostcodeLabel, Postcode}, CountyRow{CountyLabel, County}, CityRow{CityLabel, City},
    StreetRow{StreetLabel, Street}, PhoneRow{PhoneLabel, Phone}, OccupationRow{OccupationLabel, Occupation},
    IdentifierRow{IdentifierLabel, Identifier}, BirthDateRow{BirthDateLabel, Date}, SexRow{SexLabel, Sex},
    HeightRow{HeightLabel, Height, HeightUpDown}, WeightRow{WeightLabel, Weight, WeightUpDown}, AgeRow{AgeLabel, Age},
    PopulationRow{PopulationLabel, Population}, HomeDoctorRow{HomeDoctorLabel, HomeDoctor},
    HomeAddressRow{HomeDoctorAddressLabel, HomeDoctorAddress}, TreatingRow{TreatingDoctorLabel, TreatingDoctor};

// Who the patient is and where he lives on the left; what the tests need
// and the doctors on the right.
TFormColumns ColumnsOf(TPageLayout layout) {
  switch (layout) {
    case TPageLayout::Small:
      return {{{0, {NameRow, IdentifierRow, BirthDateRow, TreatingRow}}}, {{0, {SexRow, HeightRow, WeightRow, AgeRow}}}};
    case TPageLayout::Medium:
      return {{{0, {NameRow, MotherRow, MaidenRow, PostcodeRow, CountyRow, CityRow, StreetRow, PhoneRow}}},
              {{0, {IdentifierRow, BirthDateRow, OccupationRow, SexRow, HeightRow, WeightRow, AgeRow, TreatingRow}}}};
    case TPageLayout::Full:
      break;
  }
  return {{{0, {NameRow, MotherRow, MaidenRow}},
           {AddressTab, {PostcodeRow, CountyRow, CityRow, StreetRow, PhoneRow}},
           {0, {OccupationRow}}},
          {{IdentifierTab, {{0, Identifier}}},
           {DateTab, {{0, Date}}},
           {0, {SexRow, HeightRow, WeightRow, AgeRow, PopulationRow, HomeDoctorRow, HomeAddressRow, TreatingRow}}}};
}

// Widths at a screen of 800 pixels; the sheet's horizontal factor scales them.
constexpr int FieldWidth = 220;
constexpr int ColumnGap = 24;
constexpr int Spacing = 5;

QFont SheetFont(bool bold) {
  QFont font("Times New Roman");
  font.setPointSize(10);
  font.setBold(bold);
  return font;
}

const TPatientControl& ControlOf(int id) { return *FindPatientControl(id); }

}  // namespace

TPatientForm::TPatientForm(QWidget& dialog, TPatientSheet& sheet, const TMessage& texts)
    : QObject(&dialog), Sheet(sheet), Texts(texts) {
  Build(dialog);
}

TPatientForm::~TPatientForm() {
  while (HourGlasses > 0)
    SetHourGlass(false);
}

QWidget* TPatientForm::MakeControl(int controlId, QWidget* parent) {
  const TPatientControl& control = ControlOf(controlId);
  const auto text = [this](int number) { return QString::fromStdString(Texts.LoadStringA(number)); };
  QWidget* widget = nullptr;
  switch (control.Kind) {
    case TControlKind::Edit: {
      auto* edit = new QLineEdit(parent);
      edit->setFont(SheetFont(true));
      // The address beside the home doctor comes from the doctor table.
      edit->setReadOnly(controlId == HomeDoctorAddress);
      widget = edit;
      break;
    }
    case TControlKind::Label: {
      auto* label = new QLabel(text(control.Texts.front()), parent);
      label->setFont(SheetFont(false));
      widget = label;
      break;
    }
    case TControlKind::ComboBox: {
      auto* combo = new QComboBox(parent);
      combo->setFont(SheetFont(true));
      for (const int entry : control.Texts)
        combo->addItem(text(entry));
      widget = combo;
      break;
    }
    case TControlKind::TabControl: {
      auto* tabs = new QTabBar(parent);
      tabs->setFont(SheetFont(false));
      tabs->setExpanding(false);
      tabs->setDrawBase(false);
      for (const int page : control.Texts)
        tabs->addTab(text(page));
      widget = tabs;
      break;
    }
    case TControlKind::UpDown:
      widget = new TPatientUpDown(control.Limit, parent);
      break;
  }
  widget->setObjectName(QString::number(controlId));
  Controls[controlId] = widget;
  Connect(controlId, widget);
  return widget;
}

void TPatientForm::Build(QWidget& dialog) {
  const TPatientSheetSettings& settings = Sheet.GetSettings();
  const auto scaledX = [&](int pixels) { return static_cast<int>(pixels * settings.ScaleX); };
  const auto scaledY = [&](int pixels) { return static_cast<int>(pixels * settings.ScaleY); };
  const TFormColumns columns = ColumnsOf(settings.Layout);

  auto* outer = new QHBoxLayout(&dialog);
  outer->setContentsMargins(scaledX(8), scaledY(6), scaledX(8), scaledY(6));
  outer->setSpacing(scaledX(ColumnGap));

  // Lines inside the frame of a tab stand in from the frame's edge; the
  // other lines of the column stand in as far, so that all line up.
  const int frameInset = scaledX(5) + 1;
  for (const std::vector<TFormBlock>* blocks : {&columns.Left, &columns.Right}) {
    const bool framed = std::any_of(blocks->begin(), blocks->end(), [](const TFormBlock& block) { return block.Tab; });
    auto* column = new QVBoxLayout;
    column->setSpacing(scaledY(Spacing));
    std::vector<QGridLayout*> grids;
    std::vector<QLabel*> labels;
    for (const TFormBlock& block : *blocks) {
      QWidget* holder = &dialog;
      auto* grid = new QGridLayout;
      grid->setHorizontalSpacing(scaledX(8));
      grid->setVerticalSpacing(scaledY(Spacing));
      if (block.Tab) {
        // The tab bar sits on a frame around the lines it switches.
        auto* tabBlock = new QVBoxLayout;
        tabBlock->setSpacing(0);
        tabBlock->addWidget(MakeControl(block.Tab, &dialog));
        auto* frame = new QFrame(&dialog);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setLineWidth(1);
        frame->setLayout(grid);
        grid->setContentsMargins(frameInset - frame->frameWidth(), scaledY(4), frameInset - frame->frameWidth(),
                                 scaledY(4));
        tabBlock->addWidget(frame);
        column->addLayout(tabBlock);
        holder = frame;
      } else {
        const int inset = framed ? frameInset : 0;
        grid->setContentsMargins(inset, 0, inset, 0);
        column->addLayout(grid);
      }
      grids.push_back(grid);
      for (std::size_t line = 0; line < block.Rows.size(); ++line) {
        const TFormRow& row = block.Rows[line];
        const int at = static_cast<int>(line);
        QWidget* field = MakeControl(row.Field, holder);
        field->setMinimumWidth(scaledX(row.UpDown ? FieldWidth - 24 : FieldWidth));
        if (row.Label) {
          auto* label = static_cast<QLabel*>(MakeControl(row.Label, holder));
          label->setBuddy(field);
          labels.push_back(label);
          grid->addWidget(label, at, 0);
        }
        if (row.UpDown) {
          auto* pair = new QHBoxLayout;
          pair->setSpacing(0);
          pair->addWidget(field, 1);
          QWidget* arrows = MakeControl(row.UpDown, holder);
          const int side = field->sizeHint().height();
          arrows->setFixedSize(scaledX(side), side);
          pair->addWidget(arrows);
          grid->addLayout(pair, at, 1);
        } else if (row.Label) {
          grid->addWidget(field, at, 1);
        } else {
          grid->addWidget(field, at, 0, 1, 2);
        }
      }
      grid->setColumnStretch(1, 1);
    }
    // The labels of a column line up, also across the frame of a tab.
    int labelWidth = 0;
    for (const QLabel* label : labels)
      labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QGridLayout* grid : grids)
      grid->setColumnMinimumWidth(0, labelWidth);
    column->addStretch(1);
    outer->addLayout(column, 1);
  }
}

void TPatientForm::Connect(int controlId, QWidget* control) {
  switch (ControlOf(controlId).Kind) {
    case TControlKind::Edit: {
      auto* edit = static_cast<QLineEdit*>(control);
      connect(edit, &QLineEdit::textEdited, this,
              [this, controlId](const QString& text) { Sheet.EditChanged(controlId, text.toStdString()); });
      edit->installEventFilter(this);
      break;
    }
    case TControlKind::ComboBox: {
      auto* combo = static_cast<QComboBox*>(control);
      connect(combo, &QComboBox::activated, this, [this, controlId](int index) {
        switch (controlId) {
          case Sex:
            return Sheet.CmChangeSex(index);
          case Population:
            return Sheet.CmChangePopulation(index);
          case HomeDoctor:
            return Sheet.CmChangeHomeDoctor(index);
          default:
            return Sheet.CmChangeDoctor(index);
        }
      });
      if (controlId == TreatingDoctor)
        combo->installEventFilter(this);
      break;
    }
    case TControlKind::TabControl:
      connect(static_cast<QTabBar*>(control), &QTabBar::currentChanged, this, [this, controlId](int page) {
        if (page < 0)
          return;
        if (controlId == AddressTab)
          Sheet.TChangeAddress(page);
        else if (controlId == IdentifierTab)
          Sheet.TChangeID(page);
        else
          Sheet.TChangeDate(page);
      });
      break;
    case TControlKind::UpDown:
      static_cast<TPatientUpDown*>(control)->SetOnDelta([this, controlId](int delta) {
        if (controlId == HeightUpDown)
          Sheet.TUpDownHeight(delta);
        else
          Sheet.TUpDownWeight(delta);
      });
      break;
    case TControlKind::Label:
      break;
  }
}

bool TPatientForm::eventFilter(QObject* watched, QEvent* event) {
  // Opening a list or a context menu does not leave the field.
  if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
    const int controlId = watched->objectName().toInt();
    if (controlId == TreatingDoctor)
      Sheet.EvKillFocusDoctor();
    else
      Sheet.EvKillFocus(controlId);
  }
  return QObject::eventFilter(watched, event);
}

QWidget* TPatientForm::Control(int controlId) const {
  const auto found = Controls.find(controlId);
  return found == Controls.end() ? nullptr : found->second;
}

void TPatientForm::ShowAll() {
  for (const auto& [id, control] : Controls)
    ControlChanged(id);
}

namespace {

void ShowDoctors(QComboBox& combo, const TDoctorDropDown& list) {
  QStringList entries;
  for (const std::string& entry : list.Entries)
    entries.push_back(QString::fromStdString(entry));
  QStringList shown;
  for (int i = 0; i < combo.count(); ++i)
    shown.push_back(combo.itemText(i));
  if (shown != entries) {
    combo.clear();
    combo.addItems(entries);
  }
  if (list.Selection >= 0) {
    combo.setCurrentIndex(list.Selection);
  } else {
    combo.setPlaceholderText(QString::fromStdString(list.Shown));
    combo.setCurrentIndex(-1);
  }
}

}  // namespace

void TPatientForm::ControlChanged(int controlId) {
  QWidget* control = Control(controlId);
  if (!control)
    return;
  control->setEnabled(Sheet.IsEnabled(controlId));
  // The sheet's own changes are not the user's.
  const QSignalBlocker quiet(control);
  switch (ControlOf(controlId).Kind) {
    case TControlKind::Edit: {
      auto* edit = static_cast<QLineEdit*>(control);
      const QString text = QString::fromStdString(Sheet.GetText(controlId));
      if (edit->text() != text)
        edit->setText(text);
      break;
    }
    case TControlKind::ComboBox: {
      auto* combo = static_cast<QComboBox*>(control);
      if (controlId == Sex)
        combo->setCurrentIndex(Sheet.GetSex());
      else if (controlId == Population)
        combo->setCurrentIndex(Sheet.GetPopulation());
      else
        ShowDoctors(*combo, controlId == HomeDoctor ? Sheet.GetHomeDoctors() : Sheet.GetTreatingDoctors());
      break;
    }
    case TControlKind::TabControl:
      static_cast<QTabBar*>(control)->setCurrentIndex(Sheet.GetTabPage(controlId));
      break;
    case TControlKind::UpDown:
      static_cast<TPatientUpDown*>(control)->SetPos(Sheet.GetUpDownPosition(controlId));
      break;
    case TControlKind::Label:
      break;
  }
}

void TPatientForm::FocusControl(int controlId, bool selectAll) {
  QWidget* control = Control(controlId);
  if (!control)
    return;
  control->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(control); edit && selectAll)
    edit->selectAll();
}

void TPatientForm::SetHourGlass(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++HourGlasses;
  } else if (HourGlasses > 0) {
    QApplication::restoreOverrideCursor();
    --HourGlasses;
  }
}
