#include "patients/DoctorList.h"
#include "patients/tests/StoredRows.h"

#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

void PrintTo(const TDoctorEntry& e, std::ostream* os) {
  *os << "{" << e.Name << ", " << e.Code << ", " << e.Address << ", " << e.Treating << e.Home << e.Referring << "}";
}

namespace {

// Answers the input dialog with prepared edits and counts the progress steps.
class TScriptedView final : public TDoctorListView {
public:
  using TEdit = std::function<bool(TDoctorEntry&)>;

  bool EditDoctor(TDoctorEntry& entry) override {
    Offered.push_back(entry);
    if (Edits.empty())
      return false;
    const TEdit edit = Edits.front();
    Edits.pop_front();
    return edit(entry);
  }
  void ProgressBegin() override { ++Begun; }
  void ProgressStep() override { ++Steps; }
  void ProgressEnd() override { ++Ended; }

  std::deque<TEdit> Edits;
  std::vector<TDoctorEntry> Offered;
  int Begun = 0, Steps = 0, Ended = 0;
};

TDoctorEntry Doctor(std::string name, std::string code, bool treating = true, bool home = false) {
  TDoctorEntry entry;
  entry.Name = std::move(name);
  entry.Code = std::move(code);
  entry.Treating = treating;
  entry.Home = home;
  return entry;
}

TScriptedView::TEdit Enter(TDoctorEntry doctor) {
  return [doctor](TDoctorEntry& entry) {
    entry = doctor;
    return true;
  };
}

class DoctorListTest : public ::testing::Test {
protected:
  DoctorListTest() : Texts("English", fs::path(HALVETRA_SOURCE_DIR) / "resources/lang") { Texts.SetSink(&Sink); }
  void TearDown() override {
    Sink.ExpectAllTaken();
  }

  TDoctorTableSettings Settings() const { return {Folder.Path().string(), "", "", "latin_ci"}; }

  std::vector<TDoctorEntry> Stored() {
    std::vector<TDoctorEntry> rows;
    for (const DoctorRecordType& record : StoredDoctors(Folder.Path().string(), Texts))
      rows.push_back(TDoctorEntry::FromRecord(record));
    return rows;
  }

  std::vector<TUserMessage> TakeMessages() {
    std::vector<TUserMessage> messages;
    messages.swap(Sink.Messages);
    return messages;
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  TScriptedView View;
};

TEST_F(DoctorListTest, AnEmptyFolderGetsTheTableAndTheFirstDoctorIsStored) {
  TDoctorList list(Texts, Settings(), View);
  ASSERT_TRUE(list.OpenDoctorDatabase());
  EXPECT_TRUE(fs::exists(Folder / "doctor.db"));
  EXPECT_TRUE(list.GetNames().empty());
  EXPECT_EQ(list.Counter(), "0/0");
  // Without a doctor the dialog may not be closed: the patients need one.
  EXPECT_FALSE(list.CanClose());
  EXPECT_FALSE(list.CanModify());

  TDoctorEntry first = Doctor("Szabó Péter", "SZP", true, true);
  first.Address = "Budapest, Fő utca 1.";
  first.Referring = true;
  View.Edits.push_back(Enter(first));
  list.AddNewDoctor();
  EXPECT_EQ(View.Offered.at(0), TDoctorEntry{});  // the input starts empty
  EXPECT_EQ(list.GetNames(), std::vector<std::string>{"Szabó Péter"});
  EXPECT_EQ(list.GetShown(), first);
  EXPECT_EQ(list.Counter(), "1/1");
  EXPECT_TRUE(list.CanClose());
  EXPECT_EQ(Stored(), std::vector<TDoctorEntry>{first});
}

TEST_F(DoctorListTest, DoctorsAreListedByNameAndANewOneIsChosen) {
  TDoctorList list(Texts, Settings(), View);
  ASSERT_TRUE(list.OpenDoctorDatabase());
  for (const char* name : {"Nagy Béla", "Kiss Anna", "Tóth Gábor"}) {
    View.Edits.push_back(Enter(Doctor(name, "C")));
    list.AddNewDoctor();
  }
  EXPECT_EQ(list.GetNames(), (std::vector<std::string>{"Kiss Anna", "Nagy Béla", "Tóth Gábor"}));
  EXPECT_EQ(list.GetNames().at(static_cast<std::size_t>(list.GetSelection())), "Tóth Gábor");
  EXPECT_EQ(list.Counter(), "3/3");
  list.ChangeDoctorName(0);
  EXPECT_EQ(list.GetShown().Name, "Kiss Anna");
  EXPECT_EQ(list.Counter(), "1/3");

  // Reopened, the list is read with the progress window.
  TScriptedView again;
  TDoctorList reopened(Texts, Settings(), again);
  list.CloseDoctorDatabase();
  ASSERT_TRUE(reopened.OpenDoctorDatabase());
  EXPECT_EQ(reopened.GetNames().size(), 3u);
  EXPECT_EQ(reopened.GetShown().Name, "Kiss Anna");
  EXPECT_EQ(again.Begun, 1);
  EXPECT_EQ(again.Steps, 3);
  EXPECT_EQ(again.Ended, 1);
}

TEST_F(DoctorListTest, ATakenNameIsToldAndTheInputOpensAgain) {
  TDoctorList list(Texts, Settings(), View);
  ASSERT_TRUE(list.OpenDoctorDatabase());
  View.Edits.push_back(Enter(Doctor("Kiss Anna", "K1")));
  list.AddNewDoctor();

  // Names compare without case and trailing blanks.
  View.Edits.push_back(Enter(Doctor("KISS ANNA ", "K2")));
  View.Edits.push_back([](TDoctorEntry& entry) {
    entry.Name = "Kiss Anna Mária";
    return true;
  });
  list.AddNewDoctor();
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.Format(6104, {"KISS ANNA "}));
  EXPECT_EQ(View.Offered.back(), Doctor("KISS ANNA ", "K2"));  // what the user typed stays
  EXPECT_EQ(list.GetNames(), (std::vector<std::string>{"Kiss Anna", "Kiss Anna Mária"}));
  EXPECT_EQ(list.GetShown().Code, "K2");
}

TEST_F(DoctorListTest, ModifyRewritesTheChosenDoctor) {
  TDoctorList list(Texts, Settings(), View);
  ASSERT_TRUE(list.OpenDoctorDatabase());
  for (const char* name : {"Kiss Anna", "Nagy Béla"}) {
    View.Edits.push_back(Enter(Doctor(name, "C")));
    list.AddNewDoctor();
  }
  list.ChangeDoctorName(0);

  // Unchanged or cancelled: nothing is written.
  View.Edits.push_back([](TDoctorEntry&) { return true; });
  list.ModifyDoctor();
  EXPECT_EQ(View.Offered.back(), Doctor("Kiss Anna", "C"));
  list.ModifyDoctor();  // no edit prepared: cancelled

  // The same name: only the shown fields change.
  View.Edits.push_back([](TDoctorEntry& entry) {
    entry.Code = "KA";
    entry.Home = true;
    return true;
  });
  list.ModifyDoctor();
  EXPECT_EQ(list.GetShown(), Doctor("Kiss Anna", "KA", true, true));
  EXPECT_EQ(list.Counter(), "1/2");

  // A new name moves the doctor in the list; a taken one is refused first.
  View.Edits.push_back([](TDoctorEntry& entry) {
    entry.Name = "Nagy Béla";
    return true;
  });
  View.Edits.push_back([](TDoctorEntry& entry) {
    entry.Name = "Zöld Anna";
    return true;
  });
  list.ModifyDoctor();
  EXPECT_EQ(TakeMessages().size(), 1u);
  EXPECT_EQ(list.GetNames(), (std::vector<std::string>{"Nagy Béla", "Zöld Anna"}));
  EXPECT_EQ(list.Counter(), "2/2");
  EXPECT_EQ(Stored(), (std::vector<TDoctorEntry>{Doctor("Zöld Anna", "KA", true, true), Doctor("Nagy Béla", "C")}));
}

TEST_F(DoctorListTest, DeleteAsksFirstWithNoAsTheDefault) {
  TDoctorList list(Texts, Settings(), View);
  ASSERT_TRUE(list.OpenDoctorDatabase());
  for (const char* name : {"Kiss Anna", "Nagy Béla"}) {
    View.Edits.push_back(Enter(Doctor(name, "C")));
    list.AddNewDoctor();
  }
  Sink.Answer = IDNO;
  list.DeleteDoctor();
  auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.LoadStringA(265));
  EXPECT_EQ(messages[0].Buttons, TMessageButtons::YesNo);
  EXPECT_EQ(messages[0].DefaultButton, 2);
  EXPECT_EQ(list.GetNames().size(), 2u);

  Sink.Answer = IDYES;
  list.DeleteDoctor();  // the chosen one: the last entered
  TakeMessages();
  EXPECT_EQ(list.GetNames(), std::vector<std::string>{"Kiss Anna"});
  EXPECT_EQ(list.GetShown().Name, "Kiss Anna");
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(DoctorListTest, AFullTableTakesNoFurtherDoctor) {
  {
    TDoctorList filler(Texts, Settings(), View);
    ASSERT_TRUE(filler.OpenDoctorDatabase());
    for (int i = 0; i < TDoctorList::MaxDoctors; ++i)
      ASSERT_EQ(filler.AddRecordToDatabase(Doctor("Doctor " + std::to_string(i), "D"), true), 0);
  }
  TDoctorList list(Texts, Settings(), View);
  ASSERT_TRUE(list.OpenDoctorDatabase());
  EXPECT_EQ(list.GetNames().size(), 100u);
  list.AddNewDoctor();
  EXPECT_TRUE(View.Offered.empty());
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.Format(266, {"100"}));
  EXPECT_EQ(messages[0].Caption, Texts.LoadStringA(145));
}

TEST_F(DoctorListTest, ATableAnotherUserHoldsIsToldAndTheDialogCloses) {
  TScriptedView otherView;
  TDoctorList other(Texts, Settings(), otherView);
  ASSERT_TRUE(other.OpenDoctorDatabase());

  TDoctorList list(Texts, Settings(), View);
  EXPECT_FALSE(list.OpenDoctorDatabase());
  EXPECT_TRUE(list.IsClosing());
  EXPECT_TRUE(list.CanClose());
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, Texts.Format(249, {"Doctor.db"}));
  EXPECT_EQ(messages[0].Icon, TMessageIcon::Information);
}

TEST_F(DoctorListTest, AFolderThatCannotBeWrittenClosesTheDialogWithTheEnginesMessage) {
  const auto unwritable = UnwritableFolder(Folder);
  if (!unwritable)
    GTEST_SKIP() << "no folder here that this process cannot write";
  TDoctorList list(Texts, {unwritable->string(), "", "", ""}, View);
  EXPECT_FALSE(list.OpenDoctorDatabase());
  EXPECT_TRUE(list.CanClose());
  EXPECT_FALSE(TakeMessages().empty());
  EXPECT_FALSE(fs::exists(*unwritable / "doctor.db"));
}

}  // namespace
