#include "patients/LocationDatabase.h"

#include "patients/DialogParts.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/Profile.h"
#include "platform/framework/ui/DialogCentring.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace DialogParts;

namespace {

constexpr int LocationCaptionText = 423;
constexpr int LocalText = 421;
constexpr int NetworkText = 422;

}  // namespace

TLocationDatabase::TLocationDatabase(TMessage& messages, const std::string& iniFile, QWidget* parent,
                                     DatabaseFolders::TNetworkFolder networkFolder)
    : QDialog(parent),
      Messages(messages),
      IniFile(iniFile),
      NetworkFolder(std::move(networkFolder)),
      Local(Named(new QRadioButton(Text(messages, LocalText), this), LocalId)),
      Network(Named(new QRadioButton(Text(messages, NetworkText), this), NetworkId)) {
  setObjectName(QString::number(TemplateId));
  setWindowTitle(Caption(messages, LocationCaptionText));
  if (!NetworkFolder)
    NetworkFolder = [this] { return EngineNetworkFolder(); };

  // One choice: clicking one button clears the other.
  auto* drives = new QButtonGroup(this);
  drives->addButton(Local);
  drives->addButton(Network);
  if (TProfile("Path", IniFile).GetInt("LocalNet", 0) != 0)
    Network->setChecked(true);
  else
    Local->setChecked(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Local);
  layout->addWidget(Network);
  layout->addWidget(Buttons(*this, messages, HelpId, true).Box);
  setMinimumWidth(320);
  CenterOnShow(*this);
}

std::optional<std::string> TLocationDatabase::EngineNetworkFolder() const {
  const std::string privateFolder =
      TProfile("Path", IniFile).GetString("Private", DatabaseFolders::ReadProgramFolder(IniFile) + "\\Private");
  TEngine engine;
  engine.SetMessages(&Messages);
  if (engine.DbInit(privateFolder, "") != DbResult::Ok)
    return std::nullopt;
  std::string folder;
  const short result = engine.GetNetDir(folder);
  if (engine.DbExit() != DbResult::Ok || result != DbResult::Ok)
    return std::nullopt;
  return folder;
}

void TLocationDatabase::accept() {
  // A choice the engine cannot follow is told by the engine; the location
  // then stays as it was.
  if (Local->isChecked())
    DatabaseFolders::SetDatabasePath(IniFile, false, NetworkFolder, Messages);
  else if (Network->isChecked())
    DatabaseFolders::SetDatabasePath(IniFile, true, NetworkFolder, Messages);
  QDialog::accept();
}
