#include "records/tests/RecordsFixture.h"

#include "patients/PatientTransfer.h"
#include "platform/dbkit/Engine.h"
#include "records/PatientCopy.h"
#include "records/TrendReader.h"
#include "testing/TestDatabase.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

class ListSink final : public TMeetListSink {
public:
  void AddString(const std::string& line) override { Lines.push_back(line); }
  void InsertAtTop(const std::string& line) override { Lines.insert(Lines.begin(), line); }
  std::vector<std::string> Lines;
};

// Patients and examinations written as another program would.
class Records : public TRecordsFixture {
protected:
  std::int32_t AddPatient(const std::filesystem::path& folder, std::string_view name, std::string_view note = {}) {
    auto names = OpenTestTable(folder, "names.db", &Texts());
    PatientRecordType row;
    SetFieldText(row.Name, name);
    SetFieldText(row.Id, "ID-" + std::string(name));
    EXPECT_EQ(names->AddPatientRecord(row, 1), 0);
    if (!note.empty()) {
      EXPECT_EQ(names->SaveBlob(note), 0);
    }
    return row.Key;
  }
  // An examination with a row of every spirometric kind its flags name
  // (unless `withRows` is false), values `lead`.
  std::int32_t AddExamination(const std::filesystem::path& folder, std::int32_t patient, std::string_view time,
                              std::int32_t flags, float lead, bool withRows = true) {
    auto meet = OpenTestTable(folder, "meet.db", &Texts());
    MeetRecordType row;
    row.PatientKey = patient;
    SetFieldText(row.Date, "2026.10.01.");
    SetFieldText(row.Time, time);
    row.Flags = flags;
    EXPECT_EQ(meet->AddMeetRecord(row, 1), 0);
    constexpr std::array<std::pair<std::int32_t, std::pair<const char*, short>>, 3> kinds{
        {{MeetFlag::Fvc, {"fvc.db", 19}}, {MeetFlag::Vc, {"vc.db", 5}}, {MeetFlag::Plethy, {"pl.db", 19}}}};
    for (const auto& [bit, table] : kinds)
      if (withRows && (flags & bit)) {
        std::vector<float> values(static_cast<std::size_t>(table.second));
        for (std::size_t i = 0; i < values.size(); ++i)
          values[i] = lead + static_cast<float>(i);
        const std::vector<float> curve{lead, lead + 1};
        EXPECT_EQ(OpenTestTable(folder, table.first, &Texts())
                      ->AddSpiroRecord(values, values, values, table.second, curve, 2, row.MeetKey, 1),
                  0);
      }
    if (withRows && (flags & MeetFlag::Audiogram)) {
      std::array<int, 11> thresholds{};
      thresholds[0] = static_cast<int>(lead);
      std::array<bool, 11> marks{};
      EXPECT_EQ(OpenTestTable(folder, "audio.db", &Texts())
                    ->AddAudioRecord(thresholds, thresholds, marks, marks, 11, row.MeetKey, 1),
                0);
    }
    return row.MeetKey;
  }
  long Rows(const std::filesystem::path& folder, std::string_view table) {
    long count = -1;
    OpenTestTable(folder, table, &Texts())->GetNumberOfRecords(count);
    return count;
  }
  float FirstValue(const std::filesystem::path& folder, std::string_view table, short n, long meetKey) {
    auto engine = OpenTestTable(folder, table, &Texts());
    if (engine->Search(SearchEqual, 1, meetKey) != 0)
      return -1.0f;
    std::vector<float> actual(static_cast<std::size_t>(n)), reference(actual);
    engine->GetSpiroRecOnlyData(actual, reference, n);
    return actual[0];
  }
};

TEST_F(Records, IndexListsFindsAndDeletesThePatientsExaminations) {
  PatientKey = AddPatient(Folder.Path(), "Ann");
  const std::int32_t other = AddPatient(Folder.Path(), "Bob");
  const auto spiro = AddExamination(Folder.Path(), PatientKey, "08:00:00", MeetFlag::Fvc | MeetFlag::Provoked, 4);
  AddExamination(Folder.Path(), PatientKey, "09:00:00", 0, 0);
  const auto both = AddExamination(Folder.Path(), PatientKey, "10:00:00", MeetFlag::Vc | MeetFlag::Audiogram, 2);
  AddExamination(Folder.Path(), PatientKey, "11:00:00", MeetFlag::Rhino | MeetFlag::PosteriorRhino, 0, false);
  AddExamination(Folder.Path(), other, "08:00:00", MeetFlag::Fvc, 5);

  ListSink list;
  Index.GetAllMeasure(list, 1);
  EXPECT_EQ(list.Lines, (std::vector<std::string>{"RINOP 2026.10.01. 11:00:00  ", "SPIRO 2026.10.01. 10:00:00  ",
                                                  "      2026.10.01. 09:00:00  ", "SPIRO 2026.10.01. 08:00:00 P"}));

  std::string date = "2026.10.01.", time = "08:00:00";
  MEET_INFORMATION information;
  Index.GetMeetInformation(date, time, &information, MeetStep::Next);
  EXPECT_EQ(time, "09:00:00");
  Index.ModifyMeasureNote("2026.10.01.", "10:00:00", "");
  EXPECT_TRUE(Index.SearchMeetRecord("2026.10.01.", "08:00:00"));
  EXPECT_EQ(Index.CurrentMeetKey, spiro);
  EXPECT_FALSE(Index.SearchMeetRecord("2026.10.01.", "07:00:00"));
  EXPECT_EQ(Index.CurrentMeetKey, spiro);

  // Every kind an examination names loses its row, not only the first.
  ASSERT_TRUE(Index.DeleteAllMeasure());
  EXPECT_EQ(Rows(Folder.Path(), "meet.db"), 1);
  EXPECT_EQ(Rows(Folder.Path(), "fvc.db"), 1);  // Bob's
  EXPECT_EQ(Rows(Folder.Path(), "vc.db"), 0);
  EXPECT_EQ(Rows(Folder.Path(), "audio.db"), 0);
  EXPECT_EQ(FirstValue(Folder.Path(), "vc.db", 5, both), -1.0f);
  PatientKey = 999;
  EXPECT_TRUE(Index.DeleteAllMeasure());  // a patient without examinations
}

TEST_F(Records, TrendLinesCollectTheColumnsAndWalkWithinThePatient) {
  PatientKey = AddPatient(Folder.Path(), "Ann");
  AddExamination(Folder.Path(), PatientKey, "08:00:00", MeetFlag::Fvc | MeetFlag::Vc, 4);
  AddExamination(Folder.Path(), PatientKey, "09:00:00", MeetFlag::Fvc | MeetFlag::Provoked, 6);
  const std::int32_t next = AddPatient(Folder.Path(), "Bob");
  AddExamination(Folder.Path(), next, "07:00:00", MeetFlag::Fvc, 9);
  Windows.TrendOpen = false;
  Windows.TrendWindow.State().Codes = {0, 101, -1, -1, -1};

  ASSERT_EQ(TrendReader::FillTrendList(Index, Windows, "2026.10.01.", "08:00:00", 0), 0);
  ASSERT_TRUE(Windows.TrendOpen);
  ASSERT_EQ(Windows.TrendWindow.Lines.size(), 1u);
  const TFakeTrend::TLine& line = Windows.TrendWindow.Lines[0];
  EXPECT_EQ(line.Actual, (std::array<float, 5>{4, 5, 0, 0, 0}));  // FVC; IRV = 4 + 1
  EXPECT_EQ(line.Reference, line.Actual);
  EXPECT_EQ(line.Mark, ' ');

  // The provoked stage only with its filter bit.
  ASSERT_EQ(TrendReader::FillTrendList(Index, Windows, "2026.10.01.", "09:00:00", 0), 0);
  EXPECT_EQ(Windows.TrendWindow.Lines.size(), 1u);
  ASSERT_EQ(TrendReader::FillTrendList(Index, Windows, "2026.10.01.", "09:00:00", TrendFilter::Provoked), 0);
  ASSERT_EQ(Windows.TrendWindow.Lines.size(), 2u);
  EXPECT_EQ(Windows.TrendWindow.Lines[1].Mark, 'P');
  EXPECT_TRUE(Windows.TrendWindow.State().ProvokedLines);

  // Forward from the last examination reaches Bob's: the end, no line.
  ASSERT_EQ(TrendReader::FillTrendList(Index, Windows, "2026.10.01.", "09:00:00",
                                       TrendFilter::Forward | TrendFilter::Provoked),
            0);
  EXPECT_TRUE(Windows.TrendWindow.State().EndReached);
  EXPECT_EQ(Windows.TrendWindow.Lines.size(), 2u);
  // Backward from the first row of the table: the step does not move.
  ASSERT_EQ(TrendReader::FillTrendList(Index, Windows, "2026.10.01.", "08:00:00", TrendFilter::Backward), 0);
  EXPECT_TRUE(Windows.TrendWindow.State().StartReached);
  EXPECT_EQ(Windows.TrendWindow.Lines.size(), 2u);
}

TEST_F(Records, MergeAddsWhatIsMissingAndKeepsWhatIsThere) {
  TTemporaryFolder other;
  CreateTestDatabase(other.Path(), other.Path(), &Texts());
  // Here: Ann with one examination. There: Ann with that one (other
  // values) and a second, and Cid with a note and an FVC + audiogram.
  PatientKey = AddPatient(Folder.Path(), "Ann", "own note");
  const auto kept = AddExamination(Folder.Path(), PatientKey, "08:00:00", MeetFlag::Fvc, 4);
  const std::int32_t annThere = AddPatient(other.Path(), "Ann", "their note");
  AddExamination(other.Path(), annThere, "08:00:00", MeetFlag::Fvc, 7);
  AddExamination(other.Path(), annThere, "12:00:00", MeetFlag::Vc | MeetFlag::Plethy, 3);
  const std::int32_t cid = AddPatient(other.Path(), "Cid", "Cid's note");
  AddExamination(other.Path(), cid, "13:00:00", MeetFlag::Fvc | MeetFlag::Audiogram, 8);

  auto names = OpenTestTable(Folder.Path(), "names.db", &Texts());
  const TTableSet here = PatientTransfer::TablesOf(names.get(), Tables);
  std::vector<int> progress;
  ASSERT_EQ(PatientTransfer::MergeDatabases(other.Path(), here, &Texts(), [&](int p) { progress.push_back(p); }), 0);
  EXPECT_EQ(progress.back(), 100);
  EXPECT_EQ(Rows(Folder.Path(), "names.db"), 2);
  EXPECT_EQ(Rows(Folder.Path(), "meet.db"), 3);
  EXPECT_EQ(FirstValue(Folder.Path(), "fvc.db", 19, kept), 4.0f);  // the destination's test stays
  EXPECT_EQ(Rows(Folder.Path(), "fvc.db"), 2);
  EXPECT_EQ(Rows(Folder.Path(), "vc.db"), 1);
  EXPECT_EQ(Rows(Folder.Path(), "pl.db"), 1);
  EXPECT_EQ(Rows(Folder.Path(), "audio.db"), 1);
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Cid"), 2, std::string("ID-Cid")), 0);
  std::string note;
  names->GetBlob(note);
  EXPECT_EQ(note, "Cid's note");
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Ann"), 2, std::string("ID-Ann")), 0);
  names->GetBlob(note);
  EXPECT_EQ(note, "own note");

  // Into itself, and again from there: nothing new.
  ASSERT_EQ(PatientTransfer::MergeDatabases(Folder.Path(), here, &Texts(), {}), 0);
  ASSERT_EQ(PatientTransfer::MergeDatabases(other.Path(), here, &Texts(), {}), 0);
  EXPECT_EQ(Rows(Folder.Path(), "meet.db"), 3);
  EXPECT_EQ(Rows(Folder.Path(), "fvc.db"), 2);
}

TEST_F(Records, CopyTakesOnlyTheRowsOfThePatientsOwnExaminations) {
  // Ann's examination names VC without a row; Bob, later, has a VC row.
  PatientKey = AddPatient(Folder.Path(), "Ann");
  AddExamination(Folder.Path(), PatientKey, "08:00:00", MeetFlag::Fvc | MeetFlag::Vc, 4, false);
  const std::int32_t bob = AddPatient(Folder.Path(), "Bob");
  AddExamination(Folder.Path(), bob, "09:00:00", MeetFlag::Vc, 6);
  AddExamination(Folder.Path(), PatientKey, "07:00:00", MeetFlag::Fvc, 5);

  auto names = OpenTestTable(Folder.Path(), "names.db", &Texts());
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("Ann"), 2, std::string("ID-Ann")), 0);
  PatientRecordType ann;
  ASSERT_EQ(names->GetData(ann), 0);
  const TTableSet here = PatientTransfer::TablesOf(names.get(), Tables);
  TTemporaryFolder target;
  ASSERT_EQ(PatientCopy::CopyPatient(here, ann, target.Path(), &Texts(), ""), 0);
  EXPECT_EQ(Rows(target.Path(), "names.db"), 1);
  EXPECT_EQ(Rows(target.Path(), "meet.db"), 2);
  EXPECT_EQ(Rows(target.Path(), "fvc.db"), 1);
  EXPECT_EQ(Rows(target.Path(), "vc.db"), 0);  // Bob's row stays where it is
  // Again: the target has both examinations already.
  ASSERT_EQ(PatientCopy::CopyPatient(here, ann, target.Path(), &Texts(), ""), 0);
  EXPECT_EQ(Rows(target.Path(), "meet.db"), 2);
}

TEST_F(Records, MailCopyMakesFreshTablesOfTheChosenExaminations) {
  PatientKey = AddPatient(Folder.Path(), "Ann", "note");
  AddExamination(Folder.Path(), PatientKey, "08:00:00", MeetFlag::Fvc, 4);
  AddExamination(Folder.Path(), PatientKey, "10:00:00", MeetFlag::Audiogram, 30);
  auto names = OpenTestTable(Folder.Path(), "names.db", &Texts());
  ASSERT_EQ(names->GoTop(), 0);
  PatientRecordType ann;
  ASSERT_EQ(names->GetData(ann), 0);
  const TTableSet here = PatientTransfer::TablesOf(names.get(), Tables);
  const auto find = [&](const PatientCopy::TMeetLine& line) { return Index.SearchMeetRecord(line.Date, line.Time); };
  const PatientCopy::TMail mail =
      PatientCopy::MailCopy(here, ann, {"AUDIO 2026.10.01. 10:00:00  "}, 11, 8, find, Folder / "EMail", &Texts(), "");
  ASSERT_EQ(mail.Result, 0);
  EXPECT_EQ(mail.Folder.parent_path(), Folder / "EMail");
  EXPECT_EQ(mail.Files.size(), 10u);
  EXPECT_EQ(Rows(mail.Folder, "meet.db"), 1);
  EXPECT_EQ(Rows(mail.Folder, "audio.db"), 1);
  EXPECT_EQ(Rows(mail.Folder, "fvc.db"), 0);
  EXPECT_EQ(PatientCopy::MailArguments({mail.Files[0]}),
            (std::vector<std::string>{"--attach", (mail.Folder / "names.db").string()}));
  EXPECT_FALSE(PatientCopy::ParseMeetLine("SPIRO", 11, 8));

  // A stand-in mail program on the PATH records what it was given.
  TTemporaryFolder bin;
  const std::filesystem::path record = bin / "arguments.txt";
  const std::filesystem::path program =
      bin.Write("xdg-email", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record.string() + "'\n");
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(bin.Path().string()) + ":" + path);
  EXPECT_TRUE(PatientCopy::MailAvailable());
  EXPECT_TRUE(PatientCopy::SendMail({mail.Files[0], mail.Files[1]}));
  qputenv("PATH", path);
  EXPECT_EQ(TTemporaryFolder::Read(record), "--attach\n" + mail.Files[0].string() + "\n--attach\n" +
                                                mail.Files[1].string() + "\n");
}

}  // namespace
