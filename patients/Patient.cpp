#include "patients/Patient.h"

#include "common/CommandNumbers.h"
#include "patients/PatientForm.h"
#include "patients/PatientSearch.h"
#include "patients/SheetEngines.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/Message.h"
#include "platform/framework/IntlSettings.h"
#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QTimer>

namespace {

constexpr int ProgressCaptionText = 1;
constexpr int OpeningDatabaseText = 268;
constexpr int OpeningTableText = 269;
// Copies of the folders and of the settings file's path.
constexpr std::size_t PathSize = 299;
// Other users' changes to the patient table are looked for this often.
constexpr int IdleMilliseconds = 1000;

TPatientSheetSettings SheetSettings(float scaleX, float scaleY, std::string_view iniPath, short dialogId,
                                    short defaultUnit, short defaultHeight, short defaultWeight) {
  TPatientSheetSettings settings;
  settings.ScaleX = scaleX;
  settings.ScaleY = scaleY;
  settings.Layout = LayoutFromResource(dialogId);
  settings.DefaultUnit = defaultUnit != 0 ? TUnitSystem::Imperial : TUnitSystem::Metric;
  settings.DefaultHeight = defaultHeight;
  settings.DefaultWeight = defaultWeight;
  // The same picture as the engine's own.
  settings.DatePicture = TIntlSettings::Read().DatePicture;
  settings.TypeOfId = TPatient::ReadTypeOfID(iniPath);
  return settings;
}

}  // namespace

TPatient::TPatient(float scaleX, float scaleY, short demo, TMessage* texts, std::string_view iniPath, short dialogId,
                   std::string_view doctorFolder, std::string_view databaseFolder, std::string_view privateFolder,
                   short defaultUnit, short defaultHeight, short defaultWeight, QWidget* parent)
    : QDialog(parent),
      TPatientSheet(*texts, SheetSettings(scaleX, scaleY, iniPath, dialogId, defaultUnit, defaultHeight, defaultWeight)),
      TextStore(texts),
      Demo(demo),
      IniPath(Utf8::Truncate(iniPath, PathSize)),
      DatabaseFolder(Utf8::Truncate(databaseFolder, PathSize)),
      DoctorFolder(Utf8::Truncate(doctorFolder, PathSize)),
      Table(*this) {
  setObjectName(QString::number(dialogId));
  SheetEngines::Prepare(*this, texts, DatabaseFolder, "names.db");
  SetEngineHWND(reinterpret_cast<std::uintptr_t>(parent));

  Waiting = std::make_unique<TWaitingDialog>(texts->LoadStringA(ProgressCaptionText),
                                             texts->LoadStringA(OpeningDatabaseText),
                                             texts->Format(OpeningTableText, {"Names"}), this);
  Waiting->Execute();
  Waiting->SetStep(1);

  // The database is opened now; what fails is reported by the engine, and
  // the sheet then only waits to close.
  if (DbInit(privateFolder, IniPath) != DbResult::Ok || OpenDB(PatientDatabase) != DbResult::Ok)
    Unusable = true;
  Step();

  Form = new TPatientForm(*this, *this, *texts);
  SetView(Form);
  SetDatabase(&Table);
  SetClient(dynamic_cast<TEventHandler*>(parent));
  Form->ShowAll();
  Step();

  IdleTimer = new QTimer(this);
  IdleTimer->setInterval(IdleMilliseconds);
  connect(IdleTimer, &QTimer::timeout, this, [this] { IdleAction(); });
}

TPatient::~TPatient() {
  Deactivate();
  IdleTimer->stop();
  // The controls go with the dialog after the sheet is gone: from here on
  // nothing they do reaches the sheet.
  SetView(nullptr);
  delete Form;
  Form = nullptr;
  Waiting.reset();
  CloseDatabase();
}

const TResponseTable& TPatient::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Message<&TPatient::EvClose>(WM_CLOSE),
      Response::Command<&TPatient::CmPatientSearch>(CM_PATIENT_SEARCH),
  };
  static const TResponseTable table{entries, &TPatientSheet::ResponseTable()};
  return table;
}

bool TPatient::ReadTypeOfID(std::string_view iniPath) { return TProfile("Program", iniPath).GetInt("TypeOfID", 0) != 0; }

QWidget* TPatient::Control(int controlId) const { return Form ? Form->Control(controlId) : nullptr; }

void TPatient::Step() {
  if (Waiting)
    Waiting->DoOneStep();
}

void TPatient::Announce(std::string_view table) {
  if (Waiting)
    Waiting->ModifyText(2, TextStore->Format(OpeningTableText, {std::string(table)}));
}

void TPatient::SetupWindow() {
  if (SetUp)
    return;
  SetUp = true;
  if (!Unusable) {
    SetEngineHWND(reinterpret_cast<std::uintptr_t>(this));
    Step();
    // The tabs start on their first pages, with what the sheet keeps for them.
    if (GetLayout() == TPageLayout::Full) {
      TChangeAddress(0);
      TChangeID(0);
      TChangeDate(0);
    }
    Step();
    if (GetTable(PatientCursor) != DbResult::Ok || GoTop(1) != DbResult::Ok) {
      Unusable = true;
    } else {
      Step();
      CheckButtons();
      DisplayPatientTable();
      Unusable = !OpenOtherTables();
    }
  }
  if (Waiting)
    Waiting->UpdateGauge(100);
  if (!Unusable) {
    ListReady = true;
    const short registered = RegisterCallBack(CallbackTableChanged, [this](short kind) {
      if (kind == CallbackTableChanged)
        CheckRefresh();
      return 0;
    });
    Unusable = registered != DbResult::Ok;
  }
  if (Waiting) {
    Waiting->Destroy(0);
    Waiting.reset();
  }
  Activate();
  raise();
  IdleTimer->start();
}

bool TPatient::OpenOtherTables() {
  const auto step = [this] { Step(); };
  Announce("Doctor");
  const auto doctors = Table.OpenDoctorDatabase(TextStore, DoctorFolder, step);
  if (!doctors)
    return false;
  FillDoctorTable(*doctors);
  for (std::size_t i = 0; i < TMeasureTables::Tables.size(); ++i) {
    Announce(TMeasureTables::Tables[i].Label);
    if (!Measures.Open(i, TextStore, DatabaseFolder, step))
      return false;
  }
  Announce("Names");
  return true;
}

void TPatient::CloseDatabase() {
  UnregisterCallBack(CallbackTableChanged);
  Table.CloseDoctorDatabase();
  Measures.Close();
  if (IsTableOpen())
    CloseTable(PatientCursor);
  if (IsDatabaseOpen())
    CloseDb(PatientDatabase);
  DbExit();
}

void TPatient::IdleAction() {
  if (Unusable)
    PostMessage(this, WM_CLOSE);
  else
    SaveBufferToDiskWhenIdle();
}

void TPatient::CmPatientSearch() {
  // Another patient would drop the edit under way; the command's enabler
  // is off meanwhile, and so is the command when it comes all the same.
  if (IsModified()) {
    QApplication::beep();
    return;
  }
  SendCloseChildWindow();
  GetBookMark();
  bool chosen = false;
  {
    TPatientSearch search(*TextStore, *this, this);
    chosen = search.exec() == QDialog::Accepted;
  }
  // The dialog has put the cursor on the chosen patient.
  SetToBookMark(chosen ? 0 : 1);
  UpdateDisplay();
}

void TPatient::EvClose() {
  Deactivate();
  // The sheet lives in a frame of the main window when the program opened
  // it; the frame goes with it.
  for (QWidget* holder = parentWidget(); holder; holder = holder->parentWidget())
    if (auto* frame = qobject_cast<QMdiSubWindow*>(holder)) {
      frame->close();
      return;
    }
  QDialog::close();
}

void TPatient::closeEvent(QCloseEvent* event) {
  Deactivate();
  event->accept();
}

void TPatient::done(int result) {
  if (result == QDialog::Accepted)
    return;
  // Escape is the Cancel button: changes are discarded only when the user
  // says so, and No keeps them on the open sheet.
  if (IsModified()) {
    CmPatientCancel();
    if (IsModified())
      return;
  }
  EvClose();
}
