#include "records/window/PatientList.h"

#include "records/window/OwnPrinter.h"
#include "records/window/PatientListPrint.h"

#include "patients/DialogParts.h"
#include "patients/MeasureIndex.h"
#include "patients/PatientDatabase.h"
#include "patients/PatientTransfer.h"
#include "patients/SheetEngines.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/WindowMessages.h"
#include "records/PatientCopy.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr int ListCaptionText = 241;
constexpr int ListConfirmDeleteText = 265;
constexpr int ListQuestionCaption = 2;
constexpr int ListQuestionIcon = 32;
constexpr int TableInUseText = 249;
constexpr int ListDeleteText = 262;
constexpr int ListPrintText = 138;
constexpr int CopyText = 547;
constexpr int CloseText = 255;

}  // namespace

// --- The names ---------------------------------------------------------------------

TPatientNamesModel::TPatientNamesModel(const std::filesystem::path& folder, TMessage* texts, QObject* parent)
    : QAbstractListModel(parent), Names(std::make_unique<TEngine>()) {
  SheetEngines::Prepare(*Names, texts, folder.string(), "names.db");
  std::uint32_t database = 0, cursor = 0;
  if (Names->OpenDB(database) == 0)
    Names->GetTable(cursor);
  Reload();
}

TPatientNamesModel::~TPatientNamesModel() {
  std::uint32_t handle = 0;
  if (Names->IsTableOpen())
    Names->CloseTable(handle);
  if (Names->IsDatabaseOpen())
    Names->CloseDb(handle);
}

bool TPatientNamesModel::IsOpen() const { return Names->IsTableOpen(); }

void TPatientNamesModel::Reload() {
  beginResetModel();
  Count = 0;
  if (IsOpen() && Names->GetNumberOfRecords(Count) != 0)
    Count = 0;
  endResetModel();
}

int TPatientNamesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Count);
}

QVariant TPatientNamesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid())
    return {};
  PatientRecordType patient;
  if (Names->GoToRecord(index.row() + 1) != 0 || Names->GetData(patient) != 0)
    return {};
  return QString::fromStdString(FieldText(patient.Name));
}

// --- The dialog --------------------------------------------------------------------

TPatientList::TPatientList(TMessage& texts, TSetup setup, QWidget* parent)
    : QDialog(parent), Texts(texts), Setup(std::move(setup)) {
  using DialogParts::Named;
  setObjectName(QString::number(DialogId));
  setWindowTitle(DialogParts::Caption(texts, ListCaptionText));
  Model = new TPatientNamesModel(Setup.Folder, &texts, this);
  View = Named(new QListView(this), ListId);
  View->setModel(Model);
  View->setUniformItemSizes(true);
  View->setSelectionMode(QAbstractItemView::SingleSelection);
  View->setMinimumSize(300, 360);
  Count = Named(new QLabel(this), CountId);

  auto* address = new QGridLayout;
  struct TField {
    int Id, LabelId, Text;
  };
  const std::array<TField, 6> fields{{{5564, 5563, 203}, {5566, 5565, 204}, {5568, 5567, 205}, {5569, 5570, 206},
                                      {5572, 5571, 207}, {5574, 5573, 218}}};
  int row = 0;
  for (const TField& field : fields) {
    auto* value = Named(new QLabel(this), field.Id);
    value->setMinimumWidth(220);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    address->addWidget(DialogParts::Label(*this, texts, field.LabelId, field.Text), row, 0);
    address->addWidget(value, row++, 1);
    Address.push_back(value);
  }
  address->setRowStretch(row, 1);

  Delete = Named(new QPushButton(DialogParts::Text(texts, ListDeleteText), this), DeleteId);
  Print = Named(new QPushButton(DialogParts::Text(texts, ListPrintText) + "...", this), PrintId);
  Copy = Named(new QPushButton(DialogParts::Text(texts, CopyText) + "...", this), CopyId);
  Ok = Named(new QPushButton(QStringLiteral("OK"), this), 1);
  Ok->setDefault(true);
  auto* close = Named(new QPushButton(DialogParts::Text(texts, CloseText), this), 2);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {Delete, Print, Copy})
    buttons->addWidget(button);
  buttons->addStretch(1);
  buttons->addWidget(Ok);
  buttons->addWidget(close);

  auto* left = new QVBoxLayout;
  left->addWidget(View, 1);
  left->addWidget(Count);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addLayout(address, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);

  connect(View->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { ShowRecord(current.row()); });
  connect(Delete, &QPushButton::clicked, this, [this] { CmDelete(); });
  connect(Copy, &QPushButton::clicked, this, [this] { CmCopy(); });
  connect(Print, &QPushButton::clicked, this, [this] { CmPrint(); });
  connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  ShowCount();
  // The list starts on the sheet's patient.
  long position = 0;
  if (Setup.SheetNames && Setup.SheetNames->GetRecordIndex(position) == 0 && position > 0)
    View->setCurrentIndex(Model->index(static_cast<int>(position - 1)));
  Enable();
}

int TPatientList::CurrentRow() const { return View->currentIndex().isValid() ? View->currentIndex().row() : -1; }

void TPatientList::ShowCount() {
  Count->setText(Model->IsOpen() ? QString::number(Model->rowCount()) : DialogParts::Text(Texts, 0));
}

void TPatientList::Enable() {
  const bool chosen = CurrentRow() >= 0 && Model->rowCount() > 0;
  Delete->setEnabled(chosen);
  Copy->setEnabled(chosen);
  Ok->setEnabled(Model->rowCount() > 0);
  Print->setEnabled(Model->rowCount() > 0);
}

TPatientList::~TPatientList() = default;

void TPatientList::CmPrint() {
  if (!Setup.Printer && !OwnPrinter)
    OwnPrinter = std::make_unique<TOwnPrinter>(Texts);
  TPatientListPrint dialog(Texts, this, Model->Engine(), Setup.Printer ? *Setup.Printer : *OwnPrinter);
  if (PrintRunner)
    PrintRunner(dialog);
  else
    dialog.exec();
}

bool TPatientList::ChosenPatient(PatientRecordType& patient) const {
  const int row = CurrentRow();
  return row >= 0 && Model->Engine().GoToRecord(row + 1) == 0 && Model->Engine().GetData(patient) == 0;
}

void TPatientList::ShowRecord(int row) {
  PatientRecordType patient;
  if (row < 0 || Model->Engine().GoToRecord(row + 1) != 0 || Model->Engine().GetData(patient) != 0) {
    for (QLabel* label : Address)
      label->clear();
    Enable();
    return;
  }
  const std::array<std::string, 6> values{FieldText(patient.Postcode[0]), FieldText(patient.County[0]),
                                          FieldText(patient.City[0]),     FieldText(patient.Street[0]),
                                          FieldText(patient.Phone[0]),    FieldText(patient.Id)};
  for (std::size_t i = 0; i < values.size(); ++i)
    Address[i]->setText(QString::fromStdString(values[i]));
  if (Setup.SetPatientKey)
    Setup.SetPatientKey(patient.Key);
  Enable();
}

void TPatientList::CmDelete() {
  PatientRecordType patient;
  TEngine* names = Setup.SheetNames;
  if (!names || !Setup.Index || !ChosenPatient(patient))
    return;
  if (names->WinMsg(Texts.LoadStringA(ListConfirmDeleteText),
                    ListQuestionIcon | PatientDb::YesNo | PatientDb::SecondButtonDefault, ListQuestionCaption) != IDYES)
    return;
  const int row = CurrentRow();
  // The row the sheet's cursor deletes must be the patient chosen.
  PatientRecordType sheetRow;
  if (names->Search(SearchEqual, 1, FieldText(patient.Name), 2, FieldText(patient.Id)) != 0 ||
      names->GetData(sheetRow) != 0 || sheetRow.Key != patient.Key)
    return;
  if (Setup.SetPatientKey)
    Setup.SetPatientKey(patient.Key);
  if (names->BeginTransaction() != 0)
    return;
  const bool deleted = Setup.Index->DeleteAllMeasure() && names->DeleteRec() == 0 && names->CommitTransaction() == 0;
  if (!deleted) {
    names->RollbackTransaction();
    return;
  }
  names->GoTop(1);
  Model->Reload();
  ShowCount();
  const int count = Model->rowCount();
  if (count > 0) {
    const int next = std::min(row, count - 1);
    View->setCurrentIndex(Model->index(next));
    ShowRecord(next);
  } else {
    ShowRecord(-1);
  }
}

void TPatientList::CmCopy() {
  PatientRecordType patient;
  if (!Setup.Tables || !Setup.ChooseFolder || !ChosenPatient(patient))
    return;
  const std::filesystem::path folder = Setup.ChooseFolder();
  if (folder.empty())
    return;
  PatientCopy::CopyPatient(Setup.Tables(), patient, folder, &Texts, Setup.LanguageDriver);
}

bool TPatientList::LockForList(TEngine& names, TMessage& texts) {
  const short result = names.LockTable(dbiWRITELOCK);
  if (result == DbResult::RecordLocked || result == DbResult::TableLocked) {
    names.WinMsg(texts.Format(TableInUseText, {"Names.db"}), PatientDb::Information);
    return false;
  }
  return result == 0;
}
