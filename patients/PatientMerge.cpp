// The merge of another database into the sheet's, with its progress window.

#include "patients/Patient.h"
#include "patients/PatientTransfer.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/Message.h"

namespace {

constexpr int MergeCaptionText = 1;
constexpr int FirstLineText = 416;
constexpr int SecondLineText = 417;

}  // namespace

void TPatient::MergeDatabases(const std::string& folder) {
  Waiting = std::make_unique<TWaitingDialog>(TextStore->LoadStringA(MergeCaptionText),
                                             TextStore->LoadStringA(FirstLineText),
                                             TextStore->LoadStringA(SecondLineText), this);
  Waiting->Execute();
  Waiting->SetStep(1);
  PatientTransfer::MergeDatabases(folder, PatientTransfer::TablesOf(this, Measures), TextStore,
                                  [this](int percent) { Waiting->UpdateGauge(static_cast<short>(percent)); });
  Waiting->UpdateGauge(100);
  Waiting->Destroy(0);
  Waiting.reset();
  GoTop(1);
  UpdateDisplay();
}
