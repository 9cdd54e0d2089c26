#include "patients/DatabaseCreateAndSelect.h"
#include "patients/Institute.h"
#include "patients/LocationDatabase.h"
#include "patients/StartUp.h"
#include "patients/tests/DialogTesting.h"

#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

class SettingsDialogs : public TDialogTest {};

// The languages a folder with the English and German texts offers.
const std::vector<std::string> EnglishAndGermanLanguages = {"English", "Deutsch"};

std::string TextOf(const QWidget& dialog, int id) {
  if (auto* label = dialog.findChild<QLabel*>(QString::number(id)))
    return label->text().toStdString();
  if (auto* edit = dialog.findChild<QLineEdit*>(QString::number(id)))
    return edit->text().toStdString();
  if (auto* combo = dialog.findChild<QComboBox*>(QString::number(id)))
    return combo->currentText().toStdString();
  if (auto* button = dialog.findChild<QAbstractButton*>(QString::number(id)))
    return button->text().toStdString();
  return "<missing " + std::to_string(id) + ">";
}

TEST_F(SettingsDialogs, EachDialogShowsItsTextsAndAsksForItsHelp) {
  TTInstituteStruct institute;
  TStartUpStruct startUp;
  struct TCase {
    std::unique_ptr<QDialog> dialog;
    int helpId;
    int captionText;
    std::vector<std::pair<int, int>> texts;  // control, text number
  };
  std::vector<TCase> cases;
  cases.push_back({std::make_unique<TInstitute>(Texts, &Main, institute), 2108, 94, {{5202, 95}, {5201, 96}, {2, 87}}});
  cases.push_back({std::make_unique<TStartUp>(Texts, &Main, startUp, std::vector<std::string>{"Latin,latin"},
                                                       EnglishAndGermanLanguages),
                   2119,
                   120,
                   {{5465, 233}, {5467, 267}, {5463, 234}, {5461, 235}, {2, 87}}});
  cases.push_back({std::make_unique<TLocationDatabase>(Texts, Ini(), &Main), 2121, 423, {{5776, 421}, {5775, 422}}});
  cases.push_back({std::make_unique<TDatabaseCreateAndSelect>(Texts, Ini(), &Main), 2100, 108, {{5711, 284}}});
  for (TCase& c : cases) {
    QDialog& dialog = *c.dialog;
    QString caption = QString::fromStdString(Texts.LoadStringA(c.captionText)).remove('&');
    EXPECT_EQ(dialog.windowTitle(), caption.endsWith("...") ? caption.chopped(3) : caption);
    EXPECT_TRUE(Texts.HasText(c.captionText));
    for (const auto& [id, text] : c.texts) {
      EXPECT_TRUE(Texts.HasText(text)) << text;
      EXPECT_EQ(TextOf(dialog, id), Texts.LoadStringA(text)) << dialog.objectName().toStdString() << " " << id;
    }
    EXPECT_EQ(TextOf(dialog, 9), Texts.LoadStringA(88));

    // Centred over the main window, and its help asked of the main window.
    dialog.show();
    const QRect frame = dialog.frameGeometry();
    EXPECT_EQ(frame.left(), (Main.frameGeometry().width() - frame.width()) / 2) << caption.toStdString();
    Click(dialog, 9);
    ASSERT_FALSE(Main.HelpIds.empty());
    EXPECT_EQ(Main.HelpIds.back(), c.helpId);
    dialog.hide();
  }
}

TEST_F(SettingsDialogs, TheInstituteTakesTheEditsOnlyOnOk) {
  TTInstituteStruct institute{"Lung Laboratory", "Budapest"};
  {
    TInstitute dialog(Texts, &Main, institute);
    EXPECT_EQ(TextOf(dialog, TInstitute::NameEditId), "Lung Laboratory");
    Control<QLineEdit>(dialog, TInstitute::NameEditId)->setText("Other");
    dialog.reject();
  }
  EXPECT_EQ(institute.Name, "Lung Laboratory");

  TInstitute dialog(Texts, &Main, institute);
  Control<QLineEdit>(dialog, TInstitute::NameEditId)->setText("Tüdőgondozó Intézet");
  Control<QLineEdit>(dialog, TInstitute::AddressEditId)->setText("Szeged, Fő tér 2.");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(institute, (TTInstituteStruct{"Tüdőgondozó Intézet", "Szeged, Fő tér 2."}));
}

TEST_F(SettingsDialogs, AnInstituteNameLongerThanItsFieldIsRefusedWhole) {
  TTInstituteStruct institute{"Lung Laboratory", "Budapest"};
  TInstitute dialog(Texts, &Main, institute);
  dialog.show();
  // 60 letters fit the edit, but as 120 bytes not the field of 60.
  const QString longName(60, QChar(0x0151));  // ő
  Control<QLineEdit>(dialog, TInstitute::NameEditId)->setText(longName);
  Click(dialog, 1);
  EXPECT_TRUE(dialog.isVisible());
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.Format(6001, {"Name of the institute", "60"}));
  EXPECT_EQ(TextOf(dialog, TInstitute::NameEditId), longName.toStdString());
  EXPECT_EQ(institute.Name, "Lung Laboratory");
}

TEST_F(SettingsDialogs, TheFirstStartUpNeedsADriverAndStoresTheChosenEntry) {
  TStartUpStruct values{"English", "", "", 1, 0};
  const auto drivers = TStartUp::LoadLanguageDrivers(Texts, "");
  ASSERT_EQ(drivers.size(), 1u);
  TStartUp dialog(Texts, &Main, values, drivers, EnglishAndGermanLanguages);
  dialog.show();
  auto* driver = Control<QComboBox>(dialog, TStartUp::DriverId);
  EXPECT_TRUE(driver->isEnabled());
  // No driver of this engine suits a language by name: none is chosen.
  EXPECT_EQ(driver->currentIndex(), -1);
  Click(dialog, 1);
  EXPECT_TRUE(dialog.isVisible());
  auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.LoadStringA(6100));
  EXPECT_EQ(values.LanguageDriver, "");

  driver->setCurrentIndex(0);
  Control<QComboBox>(dialog, TStartUp::LanguageId)->setCurrentText("Deutsch");
  Control<QComboBox>(dialog, TStartUp::SheetKindId)->setCurrentIndex(2);
  Control<QComboBox>(dialog, TStartUp::UnitId)->setCurrentIndex(1);
  EXPECT_EQ(driver->currentIndex(), -1);  // a new language chooses again
  driver->setCurrentIndex(0);
  Click(dialog, 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(values.Language, "Deutsch");
  EXPECT_EQ(values.LanguageDriver, "Latin alphabet (case-insensitive),latin_ci");
  EXPECT_EQ(values.PageType, 2);
  EXPECT_EQ(values.DefaultUnit, 1);
}

TEST_F(SettingsDialogs, AStoredDriverIsShownAndKept) {
  TStartUpStruct values{"Magyar", "latin_ci", "", 7, 0};
  TStartUp dialog(Texts, &Main, values, TStartUp::LoadLanguageDrivers(Texts, ""), EnglishAndGermanLanguages);
  auto* driver = Control<QComboBox>(dialog, TStartUp::DriverId);
  EXPECT_FALSE(driver->isEnabled());
  EXPECT_EQ(driver->currentText(), "Latin alphabet (case-insensitive),latin_ci");
  // A page type the sheet does not know stands for the full sheet.
  EXPECT_EQ(Control<QComboBox>(dialog, TStartUp::SheetKindId)->currentIndex(), 2);
  Control<QComboBox>(dialog, TStartUp::LanguageId)->setCurrentText("English");
  EXPECT_EQ(driver->currentText(), "Latin alphabet (case-insensitive),latin_ci");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(values.LanguageDriver, "Latin alphabet (case-insensitive),latin_ci");
  EXPECT_EQ(values.Language, "English");
}

TEST_F(SettingsDialogs, OnlyLanguagesWhoseTextsAreShippedAreOffered) {
  TTemporaryFolder folder;
  folder.Write("Deutsch.txt", "1=Halvetra\n");
  folder.Write("Magyar.txt/keep", "");  // a folder of that name is no text file
  struct TOfferCase {
    const char* stored;
    const char* shown;
  };
  for (const TOfferCase c : {TOfferCase{"Deutsch", "Deutsch"}, TOfferCase{"English", "English"},
                             TOfferCase{"Magyar", ""}, TOfferCase{"Español", ""}}) {
    TStartUpStruct values{c.stored, "latin_ci", "", 2, 0};
    TStartUp dialog(Texts, &Main, values, folder.Path());
    auto* language = Control<QComboBox>(dialog, TStartUp::LanguageId);
    ASSERT_EQ(language->count(), 2) << c.stored;
    // English needs no file: the program carries its texts.
    EXPECT_EQ(language->itemText(0), "English");
    EXPECT_EQ(language->itemText(1), "Deutsch");
    EXPECT_EQ(language->currentText().toStdString(), c.shown) << c.stored;
  }
  // The program's own folder holds English only.
  TStartUpStruct values{"English", "latin_ci", "", 2, 0};
  TStartUp shipped(Texts, &Main, values, std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  EXPECT_EQ(Control<QComboBox>(shipped, TStartUp::LanguageId)->count(), 1);
}

TEST_F(SettingsDialogs, WithoutDriversTheStartUpDialogClosesItself) {
  TStartUpStruct values{"English", "", "", 2, 0};
  TStartUp dialog(Texts, &Main, values, {}, EnglishAndGermanLanguages);
  QTimer::singleShot(1000, &dialog, [&dialog] { dialog.done(42); });  // a stuck dialog fails the test
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

TEST_F(SettingsDialogs, TheLocationIsStoredAndAMissingNetworkFolderIsTold) {
  TLocationDatabase local(Texts, Ini(), &Main);
  EXPECT_TRUE(Control<QRadioButton>(local, TLocationDatabase::LocalId)->isChecked());
  Control<QRadioButton>(local, TLocationDatabase::NetworkId)->click();
  EXPECT_FALSE(Control<QRadioButton>(local, TLocationDatabase::LocalId)->isChecked());

  // The engine keeps no network folder: it says so, and nothing changes.
  Folder.Write("Halvetra.ini", "[Path]\nLocalNet=0\n");
  local.accept();
  EXPECT_EQ(local.result(), QDialog::Accepted);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].Text.find(Texts.LoadStringA(8013)), std::string::npos) << messages[0].Text;
  EXPECT_EQ(TTemporaryFolder::Read(Ini()), "[Path]\nLocalNet=0\n");

  // With the network folders set, the network is chosen; then local again.
  Folder.Write("Halvetra.ini", "[Path]\nLocalNet=0\nNetCommon=/net/lab\nNetDatabase=/net/lab\\Data\n");
  TLocationDatabase network(Texts, Ini(), &Main);
  Control<QRadioButton>(network, TLocationDatabase::NetworkId)->click();
  network.accept();
  EXPECT_EQ(TProfile("Path", Ini()).GetInt("LocalNet", -1), 1);
  TLocationDatabase again(Texts, Ini(), &Main);
  EXPECT_TRUE(Control<QRadioButton>(again, TLocationDatabase::NetworkId)->isChecked());
  Control<QRadioButton>(again, TLocationDatabase::LocalId)->click();
  again.accept();
  EXPECT_EQ(TTemporaryFolder::Read(Ini()), "[Path]\nLocalNet=0\nNetCommon=/net/lab\nNetDatabase=/net/lab\\Data\n");
}

class CreateAndSelect : public TDialogTest {
protected:
  CreateAndSelect() {
    Folder.Write("Halvetra.ini",
                 "[Path]\nCommon=" + Common().string() + "\nDatabase=" + Common().string() + "\\Data\n");
  }
  fs::path Common() const { return Folder / "Database"; }
  std::vector<std::string> Items(QWidget& dialog, int id) {
    std::vector<std::string> items;
    if (auto* combo = dialog.findChild<QComboBox*>(QString::number(id)))
      for (int i = 0; i < combo->count(); ++i)
        items.push_back(combo->itemText(i).toStdString());
    if (auto* list = dialog.findChild<QListWidget*>(QString::number(id)))
      for (int i = 0; i < list->count(); ++i)
        items.push_back(list->item(i)->text().toStdString());
    return items;
  }
  std::string StoredDatabase() const { return TProfile("Path", Ini()).GetString("Database", "<none>"); }
};

TEST_F(CreateAndSelect, AnEmptyCommonFolderOffersNothingUntilANameIsTyped) {
  fs::create_directory(Common());
  TDatabaseCreateAndSelect dialog(Texts, Ini(), &Main);
  EXPECT_TRUE(Items(dialog, TDatabaseCreateAndSelect::FolderId).empty());
  EXPECT_TRUE(Items(dialog, TDatabaseCreateAndSelect::FilesId).empty());
  auto* ok = Control<QPushButton>(dialog, 1);
  EXPECT_FALSE(ok->isEnabled());
  Control<QComboBox>(dialog, TDatabaseCreateAndSelect::FolderId)->setEditText("Lab2");
  EXPECT_TRUE(ok->isEnabled());
}

TEST_F(CreateAndSelect, TheDatabasesAreListedAndAnExistingOneIsChosenWithoutAQuestion) {
  Folder.Write("Database/Data/names.db", "");
  Folder.Write("Database/Data/meet.db", "");
  Folder.Write("Database/Lab2/names.db", "");
  Folder.Write("Database/doctor.db", "");
  TDatabaseCreateAndSelect dialog(Texts, Ini(), &Main);
  EXPECT_EQ(Items(dialog, TDatabaseCreateAndSelect::FolderId), (std::vector<std::string>{"Data", "Lab2"}));
  // The current database is chosen and its files are shown.
  EXPECT_EQ(TextOf(dialog, TDatabaseCreateAndSelect::FolderId), "Data");
  EXPECT_EQ(Items(dialog, TDatabaseCreateAndSelect::FilesId), (std::vector<std::string>{"meet.db", "names.db"}));
  Control<QComboBox>(dialog, TDatabaseCreateAndSelect::FolderId)->setCurrentIndex(1);
  EXPECT_EQ(Items(dialog, TDatabaseCreateAndSelect::FilesId), std::vector<std::string>{"names.db"});

  // Typed in another letter case, it is still that folder.
  Control<QComboBox>(dialog, TDatabaseCreateAndSelect::FolderId)->setEditText("LAB2");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(StoredDatabase(), Common().string() + "\\Lab2");
}

TEST_F(CreateAndSelect, ANewFolderIsMadeOnlyWhenTheUserAgrees) {
  fs::create_directory(Common());
  TDatabaseCreateAndSelect dialog(Texts, Ini(), &Main);
  dialog.show();
  Control<QComboBox>(dialog, TDatabaseCreateAndSelect::FolderId)->setEditText("Lab3");
  Sink.Answer = IDNO;
  Click(dialog, 1);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(fs::exists(Common() / "Lab3"));
  EXPECT_EQ(TakeMessages().at(0).Text, Texts.Format(285, {Common().string() + "\\Lab3"}));
  EXPECT_EQ(StoredDatabase(), Common().string() + "\\Data");

  Sink.Answer = IDYES;
  Click(dialog, 1);
  TakeMessages();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(fs::is_directory(Common() / "Lab3"));
  EXPECT_EQ(StoredDatabase(), Common().string() + "\\Lab3");
}

TEST_F(CreateAndSelect, AFolderThatCannotBeUsedLeavesTheSettingsAsTheyWere) {
  {
    // Names that would leave the common folder.
    fs::create_directory(Common());
    TDatabaseCreateAndSelect dialog(Texts, Ini(), &Main);
    for (const char* name : {"..", "a/b", "a\\b"}) {
      Control<QComboBox>(dialog, TDatabaseCreateAndSelect::FolderId)->setEditText(name);
      dialog.accept();
      EXPECT_EQ(TakeMessages().at(0).Text, Texts.LoadStringA(6102)) << name;
    }
    EXPECT_EQ(dialog.result(), 0);
  }
  const auto unwritable = UnwritableFolder(Folder);
  if (!unwritable)
    GTEST_SKIP() << "no folder here that this process cannot write";
  // An existing database folder that cannot be written.
  Folder.Write("Halvetra.ini", "[Path]\nCommon=" + unwritable->parent_path().string() + "\n");
  const std::string settings = TTemporaryFolder::Read(Ini());
  TDatabaseCreateAndSelect dialog(Texts, Ini(), &Main);
  Control<QComboBox>(dialog, TDatabaseCreateAndSelect::FolderId)
      ->setEditText(QString::fromStdString(unwritable->filename().string()));
  dialog.accept();
  EXPECT_EQ(dialog.result(), 0);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].Text.starts_with(Texts.LoadStringA(6101).substr(0, 20))) << messages[0].Text;
  EXPECT_EQ(TTemporaryFolder::Read(Ini()), settings);
}

}  // namespace
