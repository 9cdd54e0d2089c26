// Rows of every kind: stored, read back byte for byte, deleted; keys,
// duplicates, searches, dates, memos.

#include "platform/dbkit/NameCollation.h"
#include "platform/dbkit/tests/EngineTestSupport.h"
#include "platform/framework/DatePicture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>

namespace {

using TEngineRecords = TEngineTest;

PatientRecordType FullPatient() {
  PatientRecordType record = Patient("Kovács Éva", "2500101AB", "1950.03.07.");
  SetFieldText(record.Id2, "TAJ 123 456 789");
  SetFieldText(record.MotherName, "Nagy Ilona");
  SetFieldText(record.MaidenName, "Szabó Éva");
  for (int i = 0; i < 3; ++i) {
    SetFieldText(record.Postcode[i], "H-10" + std::to_string(i));
    SetFieldText(record.County[i], "Pest " + std::to_string(i));
    SetFieldText(record.City[i], "Budapest " + std::to_string(i));
    SetFieldText(record.Street[i], "Fő utca " + std::to_string(i + 1));
    SetFieldText(record.Phone[i], "+36 1 555 000" + std::to_string(i));
  }
  SetFieldText(record.Date[1], "2001.02.31.");  // kept as written
  record.Sex = 0;
  record.Unit = 1;
  record.Height = 65;
  record.Weight = 130;
  record.Population = 4;
  SetFieldText(record.Occupation, "Ügyvéd");
  record.HomeDoctor = 2;
  record.Doctor = 3;
  SetFieldText(record.EcgId, "B8765432.");
  return record;
}

TEST_F(TEngineRecords, PatientDoctorAndMeetRowsComeBackByteForByte) {
  auto names = Table("names.db", TableKind::Names);
  PatientRecordType patient = FullPatient();
  patient.Key = 999;  // the engine gives the key
  ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  EXPECT_EQ(patient.Key, 1);
  PatientRecordType readPatient;
  ASSERT_EQ(names->GetData(readPatient, dbiREADLOCK), 0);
  EXPECT_EQ(readPatient.ToBytes(), patient.ToBytes());

  auto doctors = Table("doctor.db", TableKind::Doctor);
  DoctorRecordType doctor = Doctor("Dr. Hargitai Pál", "D-017");
  SetFieldText(doctor.Address, "Kossuth tér 2.");
  doctor.Home = 1;
  doctor.Referring = 1;
  ASSERT_EQ(doctors->AddDoctorRecord(doctor, 1), 0);
  EXPECT_EQ(doctor.Key, 1);
  DoctorRecordType readDoctor;
  ASSERT_EQ(doctors->GetData(readDoctor), 0);
  EXPECT_EQ(readDoctor.ToBytes(), doctor.ToBytes());

  auto meets = Table("meet.db", TableKind::Meet);
  MeetRecordType meet = Meet(patient.Key, "2024.02.29.", "09:15:00", MeetFlag::Fvc | MeetFlag::Provoked);
  SetFieldText(meet.Agent, "Methacholine");
  meet.Concentration = 2.5f;
  meet.Dose = 0.1f;  // not exact in binary: must come back as the same float
  SetFieldText(meet.Note, "Jól együttműködött.");
  meet.Algorithm = 5;
  ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0);
  EXPECT_EQ(meet.MeetKey, 1);
  MeetRecordType readMeet;
  ASSERT_EQ(meets->GetData(readMeet), 0);
  EXPECT_EQ(readMeet.ToBytes(), meet.ToBytes());

  // Deleted, each table is empty again.
  for (TEngine* engine : {names.get(), doctors.get(), meets.get()}) {
    EXPECT_EQ(engine->DeleteRec(), 0);
    long rows = -1;
    EXPECT_EQ(engine->GetNumberOfRecords(rows), 0);
    EXPECT_EQ(rows, 0);
  }
  EXPECT_EQ(names->GoTop(), 0);
  EXPECT_EQ(names->GetData(readPatient), DbResult::BeginOfTable);
}

TEST_F(TEngineRecords, KeysAreNeverGivenTwice) {
  std::vector<std::int32_t> keys;
  {
    auto names = Table("names.db", TableKind::Names);
    for (const char* name : {"A", "B", "C"}) {
      PatientRecordType patient = Patient(name, "1");
      ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
      keys.push_back(patient.Key);
    }
    // The newest row goes, then all rows go: still no key comes back.
    ASSERT_EQ(names->GoBottom(), 0);
    ASSERT_EQ(names->DeleteRec(), 0);
    PatientRecordType d = Patient("D", "1");
    ASSERT_EQ(names->AddPatientRecord(d, 1), 0);
    keys.push_back(d.Key);
    long rows = 0;
    while (names->GetNumberOfRecords(rows) == 0 && rows > 0) {
      ASSERT_EQ(names->GoTop(), 0);
      ASSERT_EQ(names->DeleteRec(), 0);
    }
  }
  auto names = Table("names.db");  // and after opening the table again
  PatientRecordType e = Patient("E", "1");
  ASSERT_EQ(names->AddPatientRecord(e, 1), 0);
  keys.push_back(e.Key);
  EXPECT_EQ(keys, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
}

TEST_F(TEngineRecords, ADuplicateKeyIsRefusedWith9729AndNothingIsWritten) {
  auto names = Table("names.db", TableKind::Names);
  PatientRecordType patient = Patient("Kovács Éva", "2500101AB");
  ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  // Case and trailing blanks do not make another patient.
  PatientRecordType same = Patient("KOVÁCS ÉVA  ", "2500101ab");
  EXPECT_EQ(names->AddPatientRecord(same, 1), DbResult::DuplicateKey);

  auto meets = Table("meet.db", TableKind::Meet);
  MeetRecordType meet = Meet(1, "2024.01.02.", "10:00:00");
  ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0);
  MeetRecordType again = Meet(1, "2024.01.02.", "10:00:00", MeetFlag::Vc);
  EXPECT_EQ(meets->AddMeetRecord(again, 1), DbResult::DuplicateKey);
  MeetRecordType otherPatient = Meet(2, "2024.01.02.", "10:00:00");
  EXPECT_EQ(meets->AddMeetRecord(otherPatient, 1), 0);

  auto doctors = Table("doctor.db", TableKind::Doctor);
  DoctorRecordType doctor = Doctor("Dr. Kelemen", "K1");
  ASSERT_EQ(doctors->AddDoctorRecord(doctor, 1), 0);
  DoctorRecordType namesake = Doctor("dr. kelemen", "K2");
  EXPECT_EQ(doctors->AddDoctorRecord(namesake, 1), DbResult::DuplicateKey);

  auto fvc = Table("fvc.db", TableKind::Fvc);
  const std::vector<float> values(19, 1.0f), curve = FlowCurve(100);
  ASSERT_EQ(fvc->AddSpiroRecord(values, values, values, 19, curve, 100, 1, 1), 0);
  EXPECT_EQ(fvc->AddSpiroRecord(values, values, values, 19, curve, 100, 1, 1), DbResult::DuplicateKey);

  // A rewrite into another row's key is refused the same way.
  PatientRecordType second = Patient("Kis Anna", "1");
  ASSERT_EQ(names->AddPatientRecord(second, 1), 0);
  PatientRecordType renamed = Patient("Kovács Éva", "2500101AB");
  EXPECT_EQ(names->AddPatientRecord(renamed, 0), DbResult::DuplicateKey);

  for (TEngine* engine : {names.get(), meets.get(), doctors.get(), fvc.get()}) {
    long rows = 0;
    engine->GetNumberOfRecords(rows);
    EXPECT_EQ(rows, engine == meets.get() || engine == names.get() ? 2 : 1);
  }
  PatientRecordType current;
  ASSERT_EQ(names->GetData(current), 0);
  EXPECT_EQ(FieldText(current.Name), "Kis Anna");
}

TEST_F(TEngineRecords, NameSearchesIgnoreTrailingBlanksAndCase) {
  auto names = Table("names.db", TableKind::Names);
  for (const auto& [name, id] : std::vector<std::pair<const char*, const char*>>{
           {"Szabó Péter", "3"}, {"Kovács Éva", "2500101AB"}, {"kovács Ádám", "7"}, {"Ödön Béla", "4"}, {"Kiss Anna", "5"}}) {
    PatientRecordType patient = Patient(name, id);
    ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  }
  PatientRecordType found;
  // The search dialog passes the name padded to 30 columns and the identifier to 16.
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("KOVÁCS ÉVA                    "), 2,
                          std::string("2500101ab       ")),
            0);
  ASSERT_EQ(names->GetData(found), 0);
  EXPECT_EQ(FieldText(found.Name), "Kovács Éva");
  EXPECT_EQ(names->Search(SearchEqual, 1, std::string("Kovács Év"), 2, std::string("2500101AB")), DbResult::NotFound);
  // The cursor stays where a failed search found it.
  ASSERT_EQ(names->GetData(found), 0);
  EXPECT_EQ(FieldText(found.Name), "Kovács Éva");

  // A prefix: the first row not before it, in the one collation.
  ASSERT_EQ(names->Search(SearchGreaterOrEqual, 1, std::string("KOV")), 0);
  std::vector<std::string> listed;
  do {
    ASSERT_EQ(names->GetData(found), 0);
    if (!NameCollation::StartsWith(FieldText(found.Name), "KOV"))
      break;
    listed.push_back(FieldText(found.Name));
  } while (names->GetNextRec() == 0);
  EXPECT_EQ(listed, (std::vector<std::string>{"kovács Ádám", "Kovács Éva"}));

  // Only the identifier: from the table's start (empty name) on.
  ASSERT_EQ(names->Search(SearchGreaterOrEqual, 1, std::string(""), 2, std::string("4")), 0);
  ASSERT_EQ(names->GetData(found), 0);
  EXPECT_EQ(FieldText(found.Name), "Kiss Anna");

  // The identifier order: "Field2".
  ASSERT_EQ(names->SetIndex("Field2"), 0);
  ASSERT_EQ(names->Search(SearchGreaterOrEqual, 2, std::string("4")), 0);
  ASSERT_EQ(names->GetData(found), 0);
  EXPECT_EQ(FieldText(found.Name), "Ödön Béla");
  ASSERT_EQ(names->GetNextRec(), 0);
  ASSERT_EQ(names->GetData(found), 0);
  EXPECT_EQ(FieldText(found.Name), "Kiss Anna");
  // A greater-or-equal search on a field that does not lead the order is refused.
  EXPECT_EQ(names->Search(SearchGreaterOrEqual, 1, std::string("K")), DbResult::InvalidRequest);
  EXPECT_EQ(TakeMessages().size(), 1u);
  ASSERT_EQ(names->SetIndex(""), 0);
}

TEST_F(TEngineRecords, APatientsExaminationsComeInDateAndTimeOrder) {
  // A picture whose text order is not the date order.
  auto meets = Engine("meet.db");
  meets->SetDatePicture("DD.MM.YYYY");
  std::uint32_t cursor = 0;
  ASSERT_EQ(meets->CreateTable(cursor, TableKind::Meet, ""), 0);
  std::vector<std::pair<std::string, std::string>> stamps = {
      {"05.01.2024", "08:00:00"}, {"31.12.2023", "23:59:59"}, {"05.01.2024", "07:59:59"}, {"01.02.2019", "12:00:00"},
      {"29.02.2024", "00:00:00"}, {"31.02.2023", "10:00:00"}, {"30.12.2023", "09:30:00"}};
  std::mt19937 random(7);
  std::shuffle(stamps.begin(), stamps.end(), random);
  for (const auto& [date, time] : stamps) {
    MeetRecordType meet = Meet(2, date, time);
    ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0) << date;
  }
  for (const std::int32_t other : {1, 3}) {
    MeetRecordType meet = Meet(other, "01.01.2020", "00:00:00");
    ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0);
  }

  ASSERT_EQ(meets->Search(SearchGreaterOrEqual, 1, 2L), 0);
  std::vector<std::string> order;
  MeetRecordType meet;
  do {
    ASSERT_EQ(meets->GetData(meet, dbiWRITELOCK), 0);
    if (meet.PatientKey != 2)
      break;
    order.push_back(FieldText(meet.Date) + " " + FieldText(meet.Time));
  } while (meets->GetNextRec() == 0);
  EXPECT_EQ(order, (std::vector<std::string>{"01.02.2019 12:00:00", "31.02.2023 10:00:00", "30.12.2023 09:30:00",
                                             "31.12.2023 23:59:59", "05.01.2024 07:59:59", "05.01.2024 08:00:00",
                                             "29.02.2024 00:00:00"}));

  // By patient key, date and time: what the examination index does.
  long date = 0, time = 0;
  ASSERT_EQ(meets->SetDate(date, "30.12.2023"), 0);
  ASSERT_EQ(meets->SetTime(time, "09:30:00"), 0);
  EXPECT_EQ(date, 20231230);
  EXPECT_EQ(time, 93000);
  ASSERT_EQ(meets->Search(SearchEqual, 1, 2L, 2, date, 3, time), 0);
  ASSERT_EQ(meets->GetData(meet), 0);
  EXPECT_EQ(FieldText(meet.Date), "30.12.2023");
  EXPECT_EQ(meets->Search(SearchEqual, 1, 3L, 2, date, 3, time), DbResult::NotFound);

  MeetRecordType wanted = Meet(2, "31.02.2023", "10:00:00", 0);
  ASSERT_EQ(meets->GetMeetRecordWithKey(wanted), 0);
  EXPECT_EQ(wanted.Flags, MeetFlag::Fvc);
  EXPECT_NE(wanted.MeetKey, 0);
  MeetRecordType missing = Meet(2, "31.02.2023", "10:00:01", 0);
  EXPECT_EQ(meets->GetMeetRecordWithKey(missing), DbResult::NotFound);
}

TEST_F(TEngineRecords, DatesAndTimesAreTextsInTheEnginesPictures) {
  TEngine engine;
  EXPECT_EQ(engine.GetDatePicture(), "YYYY.MM.DD.");
  EXPECT_EQ(engine.GetTimePicture(), "HH:MM:SS");
  struct Case {
    const char* text;
    short result;
    long value;
  };
  for (const Case c : {Case{"2001.02.31.", 0, 20010231}, Case{"1000.01.01.", 0, 10000101},
                       Case{"2001.13.01.", DbResult::InvalidDate, 0}, Case{"0999.01.01.", DbResult::InvalidDate, 0},
                       Case{"2001.00.10.", DbResult::InvalidDate, 0}, Case{"2001.1.1.", DbResult::InvalidDate, 0},
                       Case{"", DbResult::InvalidDate, 0}}) {
    long value = 0;
    EXPECT_EQ(engine.SetDate(value, c.text), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  long time = 0;
  EXPECT_EQ(engine.SetTime(time, "23:59:59"), 0);
  EXPECT_EQ(time, 235959);
  EXPECT_EQ(engine.SetTime(time, "24:00:00"), DbResult::InvalidDate);

  EXPECT_EQ(engine.GetYear("2001.02.31."), 2001);
  EXPECT_EQ(engine.GetMonth("2001.02.31."), 2);
  EXPECT_EQ(engine.GetDay("2001.02.31."), 31);
  EXPECT_EQ(engine.GetDay("2001.13.45."), 45);  // the parts as written; the caller judges them
  EXPECT_EQ(engine.GetYear("31.02.2001"), -1);
  // The sheet's reader of a date gives the engine's answer, an unreadable
  // part included.
  for (const char* text : {"2001.02.31.", "2001.0x.10.", "31.02.2001", "2001.1.1.", ""}) {
    const TCalendarDate read = DatePicture::Read(text, "YYYY.MM.DD.");
    EXPECT_EQ(read, (TCalendarDate{engine.GetYear(text), engine.GetMonth(text), engine.GetDay(text)})) << text;
  }
  EXPECT_EQ(engine.GetHour("07:08:09"), 7);
  EXPECT_EQ(engine.GetMinute("07:08:09"), 8);
  EXPECT_EQ(engine.GetSecond("07:08:09"), 9);

  // A row stored in one picture reads in another.
  {
    auto names = Table("names.db", TableKind::Names);
    PatientRecordType patient = Patient("Kis Anna", "1", "2001.02.31.");
    ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
    // An unreadable date is refused with a message, and nothing is written.
    PatientRecordType unreadable = Patient("Nagy Béla", "2", "31.02.2001");
    EXPECT_EQ(names->AddPatientRecord(unreadable, 1), DbResult::InvalidDate);
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].Text.find("\"31.02.2001\" does not follow the picture YYYY.MM.DD."), std::string::npos)
        << messages[0].Text;
  }
  auto names = Engine("names.db");
  names->SetDatePicture("DD/MM/YYYY");
  std::uint32_t cursor = 0;
  ASSERT_EQ(names->GetTable(cursor), 0);
  ASSERT_EQ(names->GoTop(), 0);
  PatientRecordType read;
  ASSERT_EQ(names->GetData(read), 0);
  EXPECT_EQ(FieldText(read.Date[0]), "31/02/2001");
  EXPECT_EQ(FieldText(read.Date[1]), "");
  long rows = 0;
  names->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
}

TEST_F(TEngineRecords, TheMemoOfARowHoldsAnyBytes) {
  auto names = Table("names.db", TableKind::Names);
  PatientRecordType patient = Patient("Kis Anna", "1");
  ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  std::string large(100000, '\0');
  for (std::size_t i = 0; i < large.size(); ++i)
    large[i] = static_cast<char>((i * 131) % 251);
  for (const std::string& note : {std::string(), std::string("x"), large, std::string("Line 1\r\nÁrvíztűrő\0end", 24)}) {
    ASSERT_EQ(names->SaveBlob(note), 0);
    std::string read = "unchanged";
    ASSERT_EQ(names->GetBlob(read, dbiWRITELOCK), 0);
    EXPECT_EQ(read, note) << note.size();
    long size = -1;
    ASSERT_EQ(names->GetBlobSize(size, dbiREADLOCK), 0);
    EXPECT_EQ(size, static_cast<long>(note.size()));
  }
  // The memo is not part of the record: a rewrite keeps it.
  ASSERT_EQ(names->SaveBlob("kept"), 0);
  PatientRecordType changed = Patient("Kis Anna", "1", "1951.01.01.");
  ASSERT_EQ(names->AddPatientRecord(changed, 0), 0);
  std::string read;
  ASSERT_EQ(names->GetBlob(read), 0);
  EXPECT_EQ(read, "kept");
}

TEST_F(TEngineRecords, SpirometricRowsKeepValuesAndCurveExactly) {
  auto fvc = Table("fvc.db", TableKind::Fvc);
  std::vector<float> actual(19), reference(19), rsd(19);
  for (int i = 0; i < 19; ++i) {
    actual[static_cast<std::size_t>(i)] = 0.1f * static_cast<float>(i) + 1.0f / 3.0f;
    reference[static_cast<std::size_t>(i)] = -1.5f * static_cast<float>(i);
    rsd[static_cast<std::size_t>(i)] = 1e-7f * static_cast<float>(i);
  }
  actual[18] = std::numeric_limits<float>::quiet_NaN();  // a value that could not be computed
  reference[18] = std::numeric_limits<float>::infinity();
  const std::vector<float> curve = FlowCurve(6010);
  ASSERT_EQ(fvc->AddSpiroRecord(actual, reference, rsd, 19, curve, 6010, 17, 1), 0);

  std::vector<float> a(19), r(19), s(19), c(TestRow::CurveBufferFloats, -1.0f);
  long length = 0;
  ASSERT_EQ(fvc->Search(SearchEqual, 1, 17L), 0);
  ASSERT_EQ(fvc->GetSpiroRec(a, r, s, 19, c, length, dbiREADLOCK), 0);
  ASSERT_EQ(length, 6010);
  EXPECT_TRUE(std::equal(curve.begin(), curve.end(), c.begin()));
  EXPECT_EQ(c[6010], -1.0f);  // nothing written past the curve
  for (std::size_t i = 0; i < 18; ++i) {
    EXPECT_EQ(a[i], actual[i]);
    EXPECT_EQ(r[i], reference[i]);
    EXPECT_EQ(s[i], rsd[i]);
  }
  EXPECT_TRUE(std::isnan(a[18]));
  EXPECT_TRUE(std::isinf(r[18]));
  long bytes = 0;
  ASSERT_EQ(fvc->GetBlobSize(bytes), 0);
  EXPECT_EQ(bytes, 6010 * 4);

  std::vector<float> onlyActual(19), onlyReference(19);
  ASSERT_EQ(fvc->GetSpiroRecOnlyData(onlyActual, onlyReference, 19), 0);
  EXPECT_EQ(onlyActual[3], actual[3]);
  EXPECT_EQ(onlyReference[3], reference[3]);

  // A buffer too small for the stored curve is refused, not overrun.
  std::vector<float> small(2000, -1.0f);
  EXPECT_EQ(fvc->GetSpiroRec(a, r, s, 19, small, length, dbiNOLOCK), DbResult::CurveTooLong);
  EXPECT_EQ(TakeMessages().size(), 1u);
  EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](float v) { return v == -1.0f; }));

  // A row without a curve is not written; a count that is not the table's is refused.
  EXPECT_EQ(fvc->AddSpiroRecord(actual, reference, rsd, 19, curve, 0, 18, 1), 0);
  EXPECT_EQ(fvc->Search(SearchEqual, 1, 18L), DbResult::NotFound);
  EXPECT_EQ(fvc->AddSpiroRecord(actual, reference, rsd, 5, curve, 10, 18, 1), DbResult::InvalidRequest);
  EXPECT_EQ(TakeMessages().size(), 1u);

  // Rewriting the row under the cursor (the FVC row after a VC with new FEV/IVC values).
  actual[0] = 4.25f;
  ASSERT_EQ(fvc->Search(SearchEqual, 1, 17L), 0);
  ASSERT_EQ(fvc->AddSpiroRecord(actual, reference, rsd, 19, curve, 3000, 17, 0), 0);
  ASSERT_EQ(fvc->GetSpiroRec(a, r, s, 19, c, length), 0);
  EXPECT_EQ(a[0], 4.25f);
  EXPECT_EQ(length, 3000);
  long rows = 0;
  fvc->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
}

TEST_F(TEngineRecords, AudiogramAndRhinomanometryRows) {
  auto audio = Table("audio.db", TableKind::Audio);
  int right[11], left[11];
  bool rightFlags[11], leftFlags[11];
  for (int i = 0; i < 11; ++i) {
    right[i] = i * 5 - 10;
    left[i] = 120 - i;
    rightFlags[i] = i % 2 == 0;
    leftFlags[i] = i % 3 == 0;
  }
  ASSERT_EQ(audio->AddAudioRecord(right, left, rightFlags, leftFlags, 11, 4, 1), 0);
  int r[11] = {}, l[11] = {};
  bool rf[11] = {}, lf[11] = {};
  ASSERT_EQ(audio->Search(SearchEqual, 1, 4L), 0);
  ASSERT_EQ(audio->GetAudioRec(r, l, rf, lf, 11, dbiREADLOCK), 0);
  EXPECT_TRUE(std::equal(right, right + 11, r));
  EXPECT_TRUE(std::equal(left, left + 11, l));
  EXPECT_TRUE(std::equal(rightFlags, rightFlags + 11, rf));
  EXPECT_TRUE(std::equal(leftFlags, leftFlags + 11, lf));

  auto rhino = Table("rhino.db", TableKind::Rhino);
  std::vector<float> data(TestRow::RhinoBufferFloats);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<float>(i) * 0.25f - 7.0f;
  ASSERT_EQ(rhino->AddRhinoRecord(data, 9002, 4, 1), 0);
  EXPECT_EQ(rhino->AddRhinoRecord(data, 0, 5, 1), 0);  // nothing to store
  std::vector<float> read;
  long length = 0;
  ASSERT_EQ(rhino->Search(SearchEqual, 1, 4L), 0);
  ASSERT_EQ(rhino->GetRhinoRec(read, length), 0);
  ASSERT_EQ(length, 9002);
  EXPECT_TRUE(std::equal(read.begin(), read.end(), data.begin()));
  EXPECT_EQ(rhino->Search(SearchEqual, 1, 5L), DbResult::NotFound);

  // A record of another kind does not fit the table.
  PatientRecordType patient;
  EXPECT_EQ(rhino->GetData(patient), DbResult::InvalidRequest);
  EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(TEngineRecords, TheEcgIdentifierIsOneFieldThatARewriteKeeps) {
  auto names = Table("names.db", TableKind::Names);
  PatientRecordType patient = Patient("Kis Anna", "1");
  ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  ASSERT_EQ(names->WriteRecordField(std::string("K10000000."), 20), 0);
  // The sheet saves a record it filled itself: without the identifier.
  PatientRecordType edited = Patient("Kis Anna", "1", "1950.03.08.");
  ASSERT_EQ(names->AddPatientRecord(edited, 0), 0);
  PatientRecordType read;
  ASSERT_EQ(names->GetData(read), 0);
  EXPECT_EQ(FieldText(read.EcgId), "K10000000.");
  EXPECT_EQ(FieldText(read.Date[0]), "1950.03.08.");
  // Writing the name field keeps the search key with it.
  ASSERT_EQ(names->WriteRecordField(std::string("Kis Anna Mária"), 1), 0);
  ASSERT_EQ(names->Search(SearchEqual, 1, std::string("KIS ANNA MÁRIA"), 2, std::string("1")), 0);
  EXPECT_EQ(names->WriteRecordField(7L, 20), DbResult::InvalidRequest);
  EXPECT_EQ(names->WriteRecordField(std::string("x"), 19), DbResult::InvalidRequest);
  EXPECT_EQ(TakeMessages().size(), 2u);
}

TEST_F(TEngineRecords, ASaveThatSpansTablesIsKeptWholeOrNotAtAll) {
  auto meets = Table("meet.db", TableKind::Meet);
  auto fvc = Table("fvc.db", TableKind::Fvc);
  const std::vector<float> values(19, 2.0f), curve = FlowCurve(6010);

  ASSERT_EQ(meets->BeginTransaction(), 0);
  MeetRecordType undone = Meet(1, "2024.03.01.", "10:00:00");
  ASSERT_EQ(meets->AddMeetRecord(undone, 1), 0);
  ASSERT_EQ(fvc->AddSpiroRecord(values, values, values, 19, curve, 6010, undone.MeetKey, 1), 0);
  ASSERT_EQ(fvc->RollbackTransaction(), 0);
  long rows = -1;
  meets->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 0);
  fvc->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 0);

  ASSERT_EQ(meets->BeginTransaction(), 0);
  MeetRecordType kept = Meet(1, "2024.03.01.", "10:00:00");
  ASSERT_EQ(meets->AddMeetRecord(kept, 1), 0);
  ASSERT_EQ(fvc->AddSpiroRecord(values, values, values, 19, curve, 6010, kept.MeetKey, 1), 0);
  ASSERT_EQ(meets->CommitTransaction(), 0);
  meets->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
  fvc->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
}

// The connection of a save cannot attach a table while the save holds it,
// and a table on another connection would wait for the save's locks: a
// table opened during the save fails at once, and the save keeps nothing.
TEST_F(TEngineRecords, ATableOpenedDuringASaveCannotJoinIt) {
  Table("fvc.db", TableKind::Fvc);
  auto meets = Table("meet.db", TableKind::Meet);
  const std::vector<float> values(19, 2.0f), curve = FlowCurve(6010);

  ASSERT_EQ(meets->BeginTransaction(), 0);
  MeetRecordType meet = Meet(1, "2024.03.01.", "10:00:00");
  ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0);
  auto fvc = Table("fvc.db");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(fvc->AddSpiroRecord(values, values, values, 19, curve, 6010, meet.MeetKey, 1), DbResult::InvalidRequest);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));  // no wait for a lock
  EXPECT_EQ(meets->CommitTransaction(), DbResult::TransactionFailed);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].Text.find("opened after the save began"), std::string::npos) << messages[0].Text;

  long rows = -1;
  meets->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 0);
  fvc->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 0);
  // Opened again before the next save, the table joins it.
  fvc.reset();
  fvc = Table("fvc.db");
  ASSERT_EQ(meets->BeginTransaction(), 0);
  ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0);
  ASSERT_EQ(fvc->AddSpiroRecord(values, values, values, 19, curve, 6010, meet.MeetKey, 1), 0);
  EXPECT_EQ(meets->CommitTransaction(), 0);
  fvc->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
}

}  // namespace
