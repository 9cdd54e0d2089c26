#include "records/window/PatientBrowseMeet.h"

#include "platform/basekit/ui/WaitCursor.h"

#include "patients/DialogParts.h"
#include "patients/MeasureIndex.h"
#include "patients/PatientDatabase.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"
#include "records/PatientCopy.h"
#include "records/TrendReader.h"
#include "records/window/MyInputDialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <cstdio>

namespace {

constexpr int CaptionText = 248;
constexpr int KindHeaderText = 290;
constexpr int DateHeaderText = 291;
constexpr int TestsText = 292;
constexpr int ProvocationText = 293;
constexpr int BaselineText = 294;
constexpr int ProvokedText = 295;
constexpr int AgentText = 296;
constexpr int ConcentrationText = 297;
constexpr int DoseText = 298;
constexpr int SolventText = 299;
constexpr int NoteText = 300;
constexpr int TrendText = 250;
constexpr int PrintText = 138;
constexpr int DeleteText = 262;
constexpr int MailText = 538;
constexpr int ConfirmDeleteText = 265;
constexpr int QuestionCaption = 2;
constexpr int QuestionIcon = 32;
// Down for the oldest first, up for the newest first.
const QString OrderArrows[2] = {QString::fromUtf8("\u25BC"), QString::fromUtf8("\u25B2")};

QString Number(double value) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%7.2f", value);
  return QString::fromLatin1(text.data());
}

}  // namespace

TPatientBrowseMeet::TPatientBrowseMeet(TMessage& texts, TMeasureIndex& index, TSetup setup, QWidget* parent)
    : QDialog(parent), Texts(texts), Index(index), Setup(std::move(setup)) {
  using DialogParts::Named;
  setObjectName(QString::number(DialogId));
  setWindowTitle(DialogParts::Caption(texts, CaptionText));
  const TProfile program("Program", Setup.IniPath);
  DateOrder = program.GetInt("DateOrder", 0) != 0 ? 1 : 0;
  DoseUnit = TProfile("Nebulizer", Setup.IniPath).GetInt("UnitOfDose", 0);

  ListBox = Named(new QListWidget(this), ListId);
  ListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setPointSize(10);
  fixed.setBold(true);
  ListBox->setFont(fixed);
  ListBox->setMinimumSize(380, 320);

  auto* header = new QHBoxLayout;
  header->addWidget(Named(new QLabel(DialogParts::Text(texts, KindHeaderText), this), 5745));
  auto* order = Named(new QPushButton(DialogParts::Text(texts, DateHeaderText), this), OrderId);
  header->addWidget(order, 1);
  Arrow = Named(new QLabel(OrderArrows[DateOrder], this), OrderArrowId);
  header->addWidget(Arrow);
  Count = Named(new QLabel(this), CountId);

  auto* tests = Named(new QGroupBox(DialogParts::Text(texts, TestsText), this), 5742);
  auto* testGrid = new QGridLayout(tests);
  const std::array<std::pair<int, const char*>, 6> kinds{
      {{5741, "FVC"}, {5740, "VC"}, {5739, "MVV"}, {5748, "DFC"}, {5750, "PL"}, {5749, "SH"}}};
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    auto* box = Named(new QCheckBox(QString::fromLatin1(kinds[i].second), tests), kinds[i].first);
    testGrid->addWidget(box, static_cast<int>(i / 3), static_cast<int>(i % 3));
    KindBoxes.push_back(box);
  }
  auto* provocation = Named(new QGroupBox(DialogParts::Text(texts, ProvocationText), this), 5738);
  auto* provocationGrid = new QGridLayout(provocation);
  for (const auto& [id, text] : {std::pair{5737, BaselineText}, std::pair{5736, ProvokedText}}) {
    auto* box = Named(new QCheckBox(DialogParts::Text(texts, text), provocation), id);
    provocationGrid->addWidget(box, 0, static_cast<int>(KindBoxes.size()) - 6);
    KindBoxes.push_back(box);
  }
  Agent = DialogParts::LineEdit(*this, 5727, 30);
  Concentration = DialogParts::LineEdit(*this, 5734, 10);
  Dose = DialogParts::LineEdit(*this, 5733, 10);
  auto* solvent = Named(new QCheckBox(DialogParts::Text(texts, SolventText), this), 5735);
  KindBoxes.push_back(solvent);
  Note = DialogParts::LineEdit(*this, NoteId, 60);
  for (QWidget* field : std::initializer_list<QWidget*>{Agent, Concentration, Dose})
    static_cast<QLineEdit*>(field)->setReadOnly(true);
  for (QCheckBox* box : KindBoxes)
    box->setEnabled(false);
  auto* fields = new QGridLayout;
  fields->addWidget(DialogParts::Label(*this, texts, 5726, AgentText, Agent), 0, 0);
  fields->addWidget(Agent, 0, 1);
  fields->addWidget(DialogParts::Label(*this, texts, 5747, ConcentrationText, Concentration), 1, 0);
  fields->addWidget(Concentration, 1, 1);
  fields->addWidget(DialogParts::Label(*this, texts, 5746, DoseText, Dose), 2, 0);
  fields->addWidget(Dose, 2, 1);
  fields->addWidget(solvent, 3, 1);
  fields->addWidget(DialogParts::Label(*this, texts, 5731, NoteText, Note), 4, 0);
  fields->addWidget(Note, 4, 1);

  Trend = Named(new QPushButton(DialogParts::Text(texts, TrendText), this), TrendId);
  Print = Named(new QPushButton(DialogParts::Text(texts, PrintText), this), PrintId);
  Delete = Named(new QPushButton(DialogParts::Text(texts, DeleteText), this), DeleteId);
  MailButton = Named(new QPushButton(DialogParts::Text(texts, MailText), this), MailId);
  auto* commands = new QHBoxLayout;
  for (QPushButton* button : {Trend, Print, Delete, MailButton})
    commands->addWidget(button);
  const DialogParts::TButtons buttons = DialogParts::Buttons(*this, texts, HelpId, true, 0);
  Load = buttons.Ok;

  auto* left = new QVBoxLayout;
  left->addLayout(header);
  left->addWidget(ListBox, 1);
  left->addWidget(Count);
  auto* right = new QVBoxLayout;
  right->addWidget(tests);
  right->addWidget(provocation);
  right->addLayout(fields);
  right->addStretch(1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(commands);
  layout->addWidget(buttons.Box);

  connect(ListBox, &QListWidget::itemSelectionChanged, this, [this] {
    ShowInformation();
    Enable();
  });
  connect(order, &QPushButton::clicked, this, [this] { CmToggleOrder(); });
  connect(Delete, &QPushButton::clicked, this, [this] { CmDelete(); });
  connect(MailButton, &QPushButton::clicked, this, [this] { CmMail(); });
  connect(Trend, &QPushButton::clicked, this, [this] { CmTrend(); });
  connect(Print, &QPushButton::clicked, this, [this] { CmPrint(); });
  // The note is edited in its own input window when the edit gets the focus.
  Note->setReadOnly(true);
  Note->installEventFilter(this);
  Fill();
}

bool TPatientBrowseMeet::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Note && event->type() == QEvent::FocusIn)
    EditNote();
  return QDialog::eventFilter(watched, event);
}

TPatientBrowseMeet::~TPatientBrowseMeet() { TProfile("Program", Setup.IniPath).WriteInt("DateOrder", DateOrder); }

std::size_t TPatientBrowseMeet::DateLength() const {
  const TEngine* meet = Index.Meet();
  return meet ? meet->GetDatePicture().size() : 11;
}

std::size_t TPatientBrowseMeet::TimeLength() const {
  const TEngine* meet = Index.Meet();
  return meet ? meet->GetTimePicture().size() : 8;
}

void TPatientBrowseMeet::Fill() {
  class TSink final : public TMeetListSink {
  public:
    explicit TSink(QListWidget& list) : List(list) {}
    void AddString(const std::string& line) override { List.addItem(QString::fromStdString(line)); }
    void InsertAtTop(const std::string& line) override { List.insertItem(0, QString::fromStdString(line)); }
    QListWidget& List;
  };
  ListBox->clear();
  TSink sink(*ListBox);
  Index.GetAllMeasure(sink, static_cast<short>(DateOrder));
  if (ListBox->count() > 0)
    ListBox->item(0)->setSelected(true);
  ShowInformation();
  Enable();
}

std::vector<BrowsePlan::TLine> TPatientBrowseMeet::Lines() const {
  std::vector<BrowsePlan::TLine> lines;
  for (int i = 0; i < ListBox->count(); ++i)
    lines.push_back({ListBox->item(i)->text().toStdString(), ListBox->item(i)->isSelected()});
  return lines;
}

std::vector<std::string> TPatientBrowseMeet::SelectedLines() const {
  std::vector<std::string> selected;
  for (const BrowsePlan::TLine& line : Lines())
    if (line.Selected)
      selected.push_back(line.Text);
  return selected;
}

void TPatientBrowseMeet::ShowInformation() {
  const std::vector<std::string> selected = SelectedLines();
  Count->setText(QString("%1 / %2").arg(selected.size()).arg(ListBox->count()));
  for (QCheckBox* box : KindBoxes)
    box->setChecked(false);
  for (QLineEdit* edit : {Agent, Concentration, Dose, Note})
    edit->clear();
  if (selected.size() != 1)
    return;
  const auto line = PatientCopy::ParseMeetLine(selected[0], DateLength(), TimeLength());
  if (!line)
    return;
  std::string date = line->Date, time = line->Time;
  MEET_INFORMATION information;
  Index.GetMeetInformation(date, time, &information, MeetStep::KeepTexts);
  constexpr std::array<std::int32_t, 9> bits{MeetFlag::Fvc,    MeetFlag::Vc,       MeetFlag::Mvv,
                                             MeetFlag::Dfc,    MeetFlag::Plethy,   MeetFlag::Shutter,
                                             MeetFlag::Baseline, MeetFlag::Provoked, MeetFlag::ThirdStage};
  for (std::size_t i = 0; i < bits.size(); ++i)
    KindBoxes[i]->setChecked((information.Flags & bits[i]) != 0);
  Agent->setText(QString::fromStdString(FieldText(information.Agent)));
  Concentration->setText(Number(information.Concentration));
  Dose->setText(Number(double(information.Dose) * (DoseUnit ? double(information.Concentration) : 1.0)));
  Note->setText(QString::fromStdString(FieldText(information.Note)));
}

void TPatientBrowseMeet::Enable() {
  const bool any = !SelectedLines().empty();
  const BrowsePlan::TKinds kinds = BrowsePlan::Kinds(Lines(), Setup.AudioInstalled, Setup.RhinoInstalled);
  Load->setEnabled(kinds.One());
  Delete->setEnabled(any);
  Trend->setEnabled(kinds.Trend() && Setup.TrendFilter);
  Print->setEnabled(kinds.One() && Setup.Print && !Printing);
  MailButton->setEnabled(any && Setup.Mail && PatientCopy::MailAvailable());
}

void TPatientBrowseMeet::accept() {
  const std::vector<BrowsePlan::TLine> lines = Lines();
  const BrowsePlan::TKinds kinds = BrowsePlan::Kinds(lines, Setup.AudioInstalled, Setup.RhinoInstalled);
  if (!kinds.One())
    return;
  // Two or three tests of a baseline and a provoked stage load as a series.
  const TStages stages = ChosenStages(kinds);
  Plan = stages.Baseline && stages.Provoked ? BrowsePlan::SeriesLoad(lines, DateOrder, DateLength(), TimeLength())
                              : BrowsePlan::SelectionLoad(lines, kinds, DateOrder, false, 0, DateLength(),
                                                          TimeLength());
  QDialog::accept();
}

TPatientBrowseMeet::TStages TPatientBrowseMeet::ChosenStages(const BrowsePlan::TKinds& kinds) const {
  TStages stages;
  if (kinds.Spiro != 2 && kinds.Spiro != 3)
    return stages;
  for (const std::string& text : SelectedLines())
    if (const auto line = PatientCopy::ParseMeetLine(text, DateLength(), TimeLength())) {
      std::string date = line->Date, time = line->Time;
      MEET_INFORMATION information;
      Index.GetMeetInformation(date, time, &information, MeetStep::KeepTexts);
      stages.Baseline = stages.Baseline || (information.Flags & MeetFlag::Baseline);
      stages.Provoked = stages.Provoked || (information.Flags & MeetFlag::Provoked);
      stages.Solvent = stages.Solvent || (information.Flags & MeetFlag::ThirdStage);
    }
  return stages;
}

void TPatientBrowseMeet::CmPrint() {
  const std::vector<BrowsePlan::TLine> lines = Lines();
  const BrowsePlan::TKinds kinds = BrowsePlan::Kinds(lines, Setup.AudioInstalled, Setup.RhinoInstalled);
  if (Printing || !Setup.Print || !kinds.One())
    return;
  const TWaitCursor wait;
  // A baseline with a provoked or a solvent stage prints as a provocation.
  const TStages stages = ChosenStages(kinds);
  const bool series = stages.Baseline && (stages.Provoked || stages.Solvent);
  const std::vector<BrowsePlan::TMessage> plan =
      series ? BrowsePlan::SeriesLoad(lines, DateOrder, DateLength(), TimeLength())
             : BrowsePlan::SelectionLoad(lines, kinds, DateOrder, false, 0, DateLength(), TimeLength());
  Printing = true;
  Enable();
  Setup.Print(plan, series);
  Printing = false;
  Enable();
}

void TPatientBrowseMeet::CmDelete() {
  const std::vector<std::string> selected = SelectedLines();
  TEngine* meet = Index.Meet();
  if (selected.empty() || !meet)
    return;
  if (meet->WinMsg(Texts.LoadStringA(ConfirmDeleteText),
                   QuestionIcon | PatientDb::YesNo | PatientDb::SecondButtonDefault, QuestionCaption) != IDYES)
    return;
  for (const std::string& text : selected) {
    const auto line = PatientCopy::ParseMeetLine(text, DateLength(), TimeLength());
    if (!line)
      continue;
    std::array<char, 160> log{};
    std::snprintf(log.data(), log.size(), "BROWSE MEASURE: CmDelete(), Date: %s, Time: %s", line->Date.c_str(),
                  line->Time.c_str());
    if (Index.DeleteExamination(line->Date, line->Time, log.data()) != 0)
      continue;
    const QList<QListWidgetItem*> items = ListBox->findItems(QString::fromStdString(text), Qt::MatchExactly);
    for (QListWidgetItem* item : items)
      delete item;
  }
  ShowInformation();
  Enable();
}

void TPatientBrowseMeet::CmToggleOrder() {
  DateOrder = 1 - DateOrder;
  Arrow->setText(OrderArrows[DateOrder]);
  Fill();
}

void TPatientBrowseMeet::CmTrend() {
  const std::vector<BrowsePlan::TLine> lines = Lines();
  const BrowsePlan::TKinds kinds = BrowsePlan::Kinds(lines, Setup.AudioInstalled, Setup.RhinoInstalled);
  bool provoked = false, lysis = false;
  if (!kinds.Trend() || !Setup.TrendFilter || !Setup.TrendFilter(provoked, lysis))
    return;
  const unsigned filter = (provoked ? TrendFilter::Provoked : 0u) | (lysis ? TrendFilter::ThirdStage : 0u);
  Plan = BrowsePlan::SelectionLoad(lines, kinds, DateOrder, true, filter, DateLength(), TimeLength());
  QDialog::accept();
}

void TPatientBrowseMeet::CmMail() {
  const std::vector<std::string> selected = SelectedLines();
  if (!selected.empty() && Setup.Mail)
    Setup.Mail(selected);
}

void TPatientBrowseMeet::EditNote() {
  const std::vector<std::string> selected = SelectedLines();
  if (selected.size() != 1)
    return;
  const auto line = PatientCopy::ParseMeetLine(selected[0], DateLength(), TimeLength());
  if (!line)
    return;
  ListBox->setFocus();
  TMyInputDialog dialog(Texts, this, DialogParts::Caption(Texts, CaptionText).toStdString(),
                        Texts.LoadStringA(NoteText), Note->text().toStdString(), 60);
  if (dialog.exec() != QDialog::Accepted)
    return;
  const std::string note = dialog.textValue().toStdString();
  Index.ModifyMeasureNote(line->Date, line->Time, note);
  Note->setText(QString::fromStdString(note));
}
