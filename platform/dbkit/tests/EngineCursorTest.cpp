// The cursor: on a row or on a gap, moves past both ends, what inserts and
// deletes do to it, the bookmark and the orders.

#include "platform/dbkit/tests/EngineTestSupport.h"

#include <sqlite3.h>

namespace {

class TEngineCursor : public TEngineTest {
protected:
  // A names table holding the patients in this order of names.
  std::unique_ptr<TEngine> Names(std::initializer_list<const char*> patients) {
    auto names = Table("names.db", TableKind::Names);
    for (const char* name : patients) {
      PatientRecordType patient = Patient(name, "1");
      EXPECT_EQ(names->AddPatientRecord(patient, 1), 0);
    }
    return names;
  }
  static std::string Current(TEngine& names) {
    PatientRecordType patient;
    const short result = names.GetData(patient);
    return result == 0 ? FieldText(patient.Name) : "#" + std::to_string(result);
  }
  // The test of the patient sheet: a previous-row move answering 8705
  // followed by a next-row move answering 8706 means an empty table.
  static bool LooksEmpty(TEngine& names) {
    return names.AtBOF() && names.AtEOF() && names.GetPrevRec() == DbResult::BeginOfTable &&
           names.GetNextRec() == DbResult::EndOfTable;
  }
};

TEST_F(TEngineCursor, BrowsesForwardAndBackPastBothEnds) {
  auto names = Names({"Cecil", "Anna", "Béla"});
  ASSERT_EQ(names->GoTop(), 0);
  EXPECT_EQ(Current(*names), "Anna");
  EXPECT_TRUE(names->AtBOF());
  EXPECT_FALSE(names->AtEOF());
  EXPECT_EQ(names->GetPrevRec(), DbResult::BeginOfTable);
  EXPECT_EQ(Current(*names), "#8705");  // on the gap before the first row
  EXPECT_EQ(names->GetPrevRec(), DbResult::BeginOfTable);
  EXPECT_EQ(names->GetNextRec(), 0);
  EXPECT_EQ(Current(*names), "Anna");
  EXPECT_EQ(names->GetNextRec(), 0);
  EXPECT_EQ(Current(*names), "Béla");
  EXPECT_FALSE(names->AtBOF());
  EXPECT_FALSE(names->AtEOF());
  EXPECT_EQ(names->GetNextRec(), 0);
  EXPECT_EQ(Current(*names), "Cecil");
  EXPECT_TRUE(names->AtEOF());
  EXPECT_EQ(names->GetNextRec(), DbResult::EndOfTable);
  EXPECT_EQ(Current(*names), "#8706");
  EXPECT_EQ(names->GetPrevRec(), 0);
  EXPECT_EQ(Current(*names), "Cecil");
  ASSERT_EQ(names->GoBottom(), 0);
  EXPECT_EQ(Current(*names), "Cecil");
  ASSERT_EQ(names->GoTop(), 0);
  EXPECT_EQ(Current(*names), "Anna");
}

TEST_F(TEngineCursor, AnEmptyTableAndItsFirstRow) {
  auto names = Names({});
  ASSERT_EQ(names->GoTop(), 0);  // an empty table is no failure
  EXPECT_TRUE(LooksEmpty(*names));
  EXPECT_EQ(Current(*names), "#8706");

  PatientRecordType first = Patient("Anna", "1");
  ASSERT_EQ(names->AddPatientRecord(first, 1), 0);
  EXPECT_EQ(Current(*names), "Anna");  // on the new row
  // One row: no row before or after it, and yet not empty.
  EXPECT_TRUE(names->AtBOF());
  EXPECT_TRUE(names->AtEOF());
  EXPECT_FALSE(LooksEmpty(*names));
  EXPECT_EQ(Current(*names), "Anna");
}

TEST_F(TEngineCursor, DeletingTheLastRowLeavesTheGapAtTheEnd) {
  auto names = Names({"Anna", "Béla", "Cecil"});
  ASSERT_EQ(names->GoBottom(), 0);
  ASSERT_EQ(names->DeleteRec(), 0);
  EXPECT_EQ(Current(*names), "#" + std::to_string(DbResult::NoCurrentRow));
  // What the sheet does after a delete: the next row, or the previous at the end.
  EXPECT_TRUE(names->AtEOF());
  EXPECT_FALSE(names->AtBOF());
  ASSERT_EQ(names->GetPrevRec(), 0);
  EXPECT_EQ(Current(*names), "Béla");

  // A row in the middle: the gap lies between its neighbours.
  ASSERT_EQ(names->GoTop(), 0);
  ASSERT_EQ(names->DeleteRec(), 0);
  EXPECT_TRUE(names->AtBOF());
  ASSERT_EQ(names->GetNextRec(), 0);
  EXPECT_EQ(Current(*names), "Béla");

  // The only row: the table is empty.
  ASSERT_EQ(names->DeleteRec(), 0);
  EXPECT_TRUE(LooksEmpty(*names));
  EXPECT_EQ(names->DeleteRec(), DbResult::EndOfTable);
}

TEST_F(TEngineCursor, DeletingWhileWalkingVisitsEveryRowOnce) {
  auto meets = Table("meet.db", TableKind::Meet);
  int second = 0;
  for (const std::int32_t patient : {1, 2, 2, 2, 3}) {
    MeetRecordType meet = Meet(patient, "2024.01.01.", "10:00:0" + std::to_string(second++));
    ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0);
  }
  // Every examination of patient 2, as the examination index deletes them.
  ASSERT_EQ(meets->Search(SearchGreaterOrEqual, 1, 2L), 0);
  int deleted = 0;
  MeetRecordType meet;
  do {
    ASSERT_EQ(meets->GetData(meet, dbiWRITELOCK), 0);
    if (meet.PatientKey != 2)
      break;
    ASSERT_EQ(meets->DeleteRec(), 0);
    ++deleted;
  } while (meets->GetNextRec() == 0);
  EXPECT_EQ(deleted, 3);
  long rows = 0;
  meets->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(meets->Search(SearchEqual, 1, 2L), DbResult::NotFound);
}

TEST_F(TEngineCursor, TheBookmarkFollowsItsRowThroughInsertsElsewhere) {
  auto names = Names({"Béla", "Dénes"});
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Dénes"), 2, std::string("1")), 0);
  ASSERT_EQ(names->GetBookMark(), 0);
  for (const char* name : {"Anna", "Cecil", "Elek"}) {
    PatientRecordType patient = Patient(name, "1");
    ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  }
  ASSERT_EQ(names->GoTop(), 0);
  ASSERT_EQ(names->SetToBookMark(1), 0);
  EXPECT_EQ(Current(*names), "Dénes");
  long index = 0;
  ASSERT_EQ(names->GetRecordIndex(index), 0);
  EXPECT_EQ(index, 4);

  // Forgetting it keeps the position the search dialog found.
  ASSERT_EQ(names->GetBookMark(), 0);
  ASSERT_EQ(names->GoTop(), 0);
  ASSERT_EQ(names->SetToBookMark(0), 0);
  EXPECT_EQ(Current(*names), "Anna");

  // A bookmarked row that is deleted leaves the gap where it was.
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Cecil"), 2, std::string("1")), 0);
  ASSERT_EQ(names->GetBookMark(), 0);
  ASSERT_EQ(names->DeleteRec(), 0);
  ASSERT_EQ(names->GoTop(), 0);
  EXPECT_EQ(names->SetToBookMark(1), DbResult::NoCurrentRow);
  ASSERT_EQ(names->GetNextRec(), 0);
  EXPECT_EQ(Current(*names), "Dénes");
}

TEST_F(TEngineCursor, RowNumbersCountFromOneInTheActiveOrder) {
  auto names = Table("names.db", TableKind::Names);
  for (const auto& [name, id] : {std::pair{"Anna", "30"}, std::pair{"Béla", "10"}, std::pair{"Cecil", "20"}}) {
    PatientRecordType patient = Patient(name, id);
    ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  }
  long count = 0;
  ASSERT_EQ(names->GetNumberOfRecords(count), 0);
  EXPECT_EQ(count, 3);
  ASSERT_EQ(names->GoToRecord(2), 0);
  EXPECT_EQ(Current(*names), "Béla");
  EXPECT_EQ(names->GoToRecord(4), DbResult::EndOfTable);
  EXPECT_EQ(names->GoToRecord(0), DbResult::BeginOfTable);
  EXPECT_EQ(Current(*names), "Béla");  // a number outside the table moves nothing

  // The identifier order keeps the cursor on its row.
  ASSERT_EQ(names->SetIndex("Field2"), 0);
  EXPECT_EQ(Current(*names), "Béla");
  long index = 0;
  ASSERT_EQ(names->GetRecordIndex(index), 0);
  EXPECT_EQ(index, 1);
  ASSERT_EQ(names->GoToRecord(2), 0);
  EXPECT_EQ(Current(*names), "Cecil");
  EXPECT_EQ(names->SetIndex("Field9"), DbResult::InvalidRequest);
  EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(TEngineCursor, RewritingARowMovesTheCursorWithIt) {
  auto names = Names({"Anna", "Béla", "Cecil"});
  ASSERT_EQ(names->GoTop(), 0);
  PatientRecordType renamed = Patient("Zoltán", "1");
  ASSERT_EQ(names->AddPatientRecord(renamed, 0), 0);
  EXPECT_EQ(renamed.Key, 1);  // the row keeps its key
  EXPECT_EQ(Current(*names), "Zoltán");
  EXPECT_TRUE(names->AtEOF());
  ASSERT_EQ(names->GetPrevRec(), 0);
  EXPECT_EQ(Current(*names), "Cecil");
}

TEST_F(TEngineCursor, TheDoctorsInNameAndInKeyOrder) {
  auto doctors = Table("doctor.db", TableKind::Doctor);
  for (const char* name : {"Dr. Zala", "Dr. Bán", "dr. Ács"}) {
    DoctorRecordType doctor = Doctor(name, "C");
    ASSERT_EQ(doctors->AddDoctorRecord(doctor, 1), 0);
  }
  const auto list = [&] {
    std::vector<std::int32_t> keys;
    DoctorRecordType doctor;
    for (short r = doctors->GoTop(); r == 0 && doctors->GetData(doctor) == 0; r = doctors->GetNextRec())
      keys.push_back(doctor.Key);
    return keys;
  };
  ASSERT_EQ(doctors->SetIndex("Field2"), 0);
  EXPECT_EQ(list(), (std::vector<std::int32_t>{2, 1, 3}));  // "dr. bán", "dr. zala", "dr. ács" by character number
  ASSERT_EQ(doctors->SetIndex("Field7"), 0);
  EXPECT_EQ(list(), (std::vector<std::int32_t>{1, 2, 3}));
  ASSERT_EQ(doctors->Search(SearchEqual, 7, 3L), 0);
  DoctorRecordType doctor;
  ASSERT_EQ(doctors->GetData(doctor), 0);
  EXPECT_EQ(FieldText(doctor.Name), "dr. Ács");
  ASSERT_EQ(doctors->SetIndex("Field2"), 0);
  ASSERT_EQ(doctors->Search(SearchEqual, 2, std::string("DR. ZALA")), 0);
  ASSERT_EQ(doctors->GetData(doctor), 0);
  EXPECT_EQ(doctor.Key, 1);
}

// A walk held for reading keeps other users from writing only while it is
// held: the steps see every row, and the file is free again afterwards,
// also when the walk ran inside a save (which holds its own lock).
TEST_F(TEngineCursor, AWalkHeldForReadingFreesTheFileWhenItEnds) {
  auto names = Names({"Anna", "Béla", "Cecil"});
  const auto otherUserWrites = [this] {
    sqlite3* handle = nullptr;
    EXPECT_EQ(sqlite3_open((Folder.Path() / "names.db").c_str(), &handle), SQLITE_OK);
    const int result = sqlite3_exec(handle, "CREATE TABLE other_user (x INTEGER); DROP TABLE other_user;", nullptr,
                                    nullptr, nullptr);
    sqlite3_close(handle);
    return result;
  };
  std::vector<std::string> walked;
  {
    const std::shared_ptr<void> holder = names->HoldForReading();
    ASSERT_EQ(names->GoTop(), 0);
    do
      walked.push_back(Current(*names));
    while (names->GetNextRec() == 0);
    EXPECT_EQ(otherUserWrites(), SQLITE_BUSY);
  }
  EXPECT_EQ(walked, (std::vector<std::string>{"Anna", "Béla", "Cecil"}));
  EXPECT_EQ(otherUserWrites(), SQLITE_OK);
  // Each step on its own leaves the file free too.
  ASSERT_EQ(names->GoTop(), 0);
  EXPECT_EQ(Current(*names), "Anna");
  EXPECT_EQ(names->GetNextRec(), 0);
  EXPECT_EQ(otherUserWrites(), SQLITE_OK);

  ASSERT_EQ(names->BeginTransaction(), 0);
  PatientRecordType patient = Patient("Dora", "2");
  ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  {
    const std::shared_ptr<void> holder = names->HoldForReading();
    ASSERT_EQ(names->GoTop(), 0);
    EXPECT_EQ(Current(*names), "Anna");
  }
  ASSERT_EQ(names->CommitTransaction(), 0);
  EXPECT_EQ(otherUserWrites(), SQLITE_OK);
  ASSERT_EQ(names->GoBottom(), 0);
  EXPECT_EQ(Current(*names), "Dora");
}

}  // namespace
