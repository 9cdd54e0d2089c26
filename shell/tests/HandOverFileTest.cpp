#include "shell/settings/HandOverFile.h"

#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using HandOver::TProblem;

HandOver::THandOverPatient Parsed(std::string_view text) {
  const HandOver::TReadResult result = HandOver::Parse(text);
  EXPECT_EQ(result.Problem, TProblem::None) << text;
  return result.Patient.value_or(HandOver::THandOverPatient{});
}

TEST(HandOverFile, EveryKeyReachesItsField) {
  const auto patient = Parsed(
      "[Patient]\r\nName=Kovács Ödön\r\nID=123456789\r\nBorn=1950.3.7\r\nHeight=172\r\nWeight=81\r\nSex=1\r\n"
      "Mother=Nagy Éva\r\nGirl=Kiss Anna\r\nPpcode=1111\r\nPcity=Budapest\r\nPadress=Fő utca 1.\r\n"
      "Job=lakatos\r\nWpcode=2000\r\nWpcity=Szentendre\r\nWpregion=Pest\r\nWpadress=Gyár út 2.\r\n"
      "Wptel=26-300-400\r\n[Institute]\r\nDoctor=Dr. Szabó\r\n");
  TTPatientRecord expected;
  expected.Name = "Kovács Ödön";
  expected.Id = "123456789";
  expected.BirthYear = 1950;
  expected.BirthMonth = 3;
  expected.BirthDay = 7;
  expected.HeightCm = 172;
  expected.WeightKg = 81;
  expected.Sex = 1;
  expected.MotherName = "Nagy Éva";
  expected.MaidenName = "Kiss Anna";
  expected.Postcode = {"1111", "2000", ""};
  expected.City = {"Budapest", "Szentendre", ""};
  expected.Street = {"Fő utca 1.", "Gyár út 2.", ""};
  expected.County = {"", "Pest", ""};
  expected.Phone = {"", "26-300-400", ""};
  expected.Occupation = "lakatos";
  expected.Doctor = "Dr. Szabó";
  EXPECT_EQ(patient.Record, expected);
  EXPECT_EQ(patient.HeightCm, 172);
  EXPECT_EQ(patient.WeightKg, 81);
}

TEST(HandOverFile, MissingKeysTakeTheirDefaults) {
  const auto patient = Parsed("[patient]\nname=Kiss Anna\n");
  TTPatientRecord expected;
  expected.Name = "Kiss Anna";
  EXPECT_EQ(patient.Record, expected);
  // A patient already in the table keeps the height and weight it has.
  EXPECT_FALSE(patient.HeightCm);
  EXPECT_FALSE(patient.WeightKg);
  // Numbers are read as far as they are numbers.
  const auto numbers = Parsed("[Patient]\nHeight=180cm\nWeight=heavy\nSex=\n");
  EXPECT_EQ(numbers.HeightCm, 180);
  EXPECT_FALSE(numbers.WeightKg);
  EXPECT_EQ(numbers.Record.Sex, 0);
}

TEST(HandOverFile, BirthDatesInAnySeparatorAreTheSameDate) {
  struct TCase {
    const char* born;
    int year, month, day;
  };
  const TCase cases[] = {
      {"1950.3.7", 1950, 3, 7},
      {"1950-03-07", 1950, 3, 7},
      {"1950/3/7", 1950, 3, 7},
      {"1950.03.07.", 1950, 3, 7},
      {" 2001 12 31", 2001, 12, 31},
      // Dates that are none leave the birth date empty for the sheet to ask.
      {"", 0, 0, 0},
      {"1950", 0, 0, 0},
      {"1950.3", 0, 0, 0},
      {"1950.3.", 0, 0, 0},
      {"1950.13.7", 0, 0, 0},
      {"1950.3.0", 0, 0, 0},
      {"50.3.7", 0, 0, 0},
      {"March 7, 1950", 0, 0, 0},
      // Only dates of the calendar: no 31st of February, no 29th in a
      // year that is not a leap year, a year of four digits.
      {"1999.02.31", 0, 0, 0},
      {"1900.02.29", 0, 0, 0},
      {"2000.02.29", 2000, 2, 29},
      {"1999.04.31", 0, 0, 0},
      {"99999.1.1", 0, 0, 0},
      {"999999999.99.99", 0, 0, 0},
  };
  for (const TCase& c : cases) {
    const auto record = Parsed(std::string("[Patient]\nName=X\nBorn=") + c.born + "\n").Record;
    EXPECT_EQ(record.BirthYear, c.year) << c.born;
    EXPECT_EQ(record.BirthMonth, c.month) << c.born;
    EXPECT_EQ(record.BirthDay, c.day) << c.born;
  }
}

TEST(HandOverFile, NamesInUtf8AndInWindows1252) {
  // The same names, once as UTF-8 and once in the Western code page.
  EXPECT_EQ(Parsed("[Patient]\nName=Müller Jérôme\n[Institute]\nDoctor=Dr. Weiß\n").Record.Name, "Müller Jérôme");
  const auto western = Parsed("[Patient]\nName=M\xFCller J\xE9r\xF4me\n[Institute]\nDoctor=Dr. Wei\xDF\n").Record;
  EXPECT_EQ(western.Name, "Müller Jérôme");
  EXPECT_EQ(western.Doctor, "Dr. Weiß");
  // A UTF-8 file may hold letters the code page has not.
  EXPECT_EQ(Parsed("[Patient]\nName=Szőke Űrs\n").Record.Name, "Szőke Űrs");
  // A text longer than its field is cut at a character boundary: 30 bytes
  // hold 15 two-byte letters.
  std::string longName;
  for (int i = 0; i < 20; ++i)
    longName += "é";
  EXPECT_EQ(Parsed("[Patient]\nName=" + longName + "\n").Record.Name, longName.substr(0, 30));
}

TEST(HandOverFile, EachLineKeepsItsOwnEncoding) {
  // One stray Windows-1252 line does not turn the UTF-8 lines' letters to garbage.
  const auto mixed = Parsed("[Patient]\nName=Szőke Űrs\nMother=M\xFCller Anna\nJob=lakatos\n").Record;
  EXPECT_EQ(mixed.Name, "Szőke Űrs");
  EXPECT_EQ(mixed.MotherName, "Müller Anna");
  EXPECT_EQ(mixed.Occupation, "lakatos");
}

TEST(HandOverFile, ControlCharactersMakeAFileNoIniText) {
  const struct {
    const char* name;
    std::string text;
    std::size_t line;
  } cases[] = {
      {"a bell", "[Patient]\nName=Anna\a\n", 2},
      {"DEL", "[Patient]\nID=1\nName=Anna\x7F\n", 3},
      {"C1 next-line in UTF-8", "[Patient]\nName=Anna\xC2\x85Kiss\n", 2},
      {"C1 in a Windows-1252 line", "[Patient]\nName=Anna\nJob=\x81\xE9\n", 3},
      // The sheet refuses a tab inside a name on Save: so does the hand-over.
      {"a tab inside the name", "[Patient]\nName=Anna\tKiss\n", 2},
      {"a tab inside a key", "[Patient]\nID=1\nMo\tther=Kiss Anna\n", 3},
  };
  for (const auto& c : cases) {
    const HandOver::TReadResult result = HandOver::Parse(c.text);
    EXPECT_EQ(result.Problem, TProblem::NotIniText) << c.name;
    EXPECT_EQ(result.Line, c.line) << c.name;
  }
  // Tabs as blank space around a key or a value, and either line end, are text.
  EXPECT_EQ(Parsed("[Patient]\r\nName=\tAnna\r\n").Record.Name, "Anna");
  EXPECT_EQ(Parsed("[Patient]\n\tName\t=\tAnna Kiss\t\n").Record.Name, "Anna Kiss");
}

class HandOverFileOnDisk : public ::testing::Test {
protected:
  HandOverFileOnDisk() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
};

TEST_F(HandOverFileOnDisk, AGoodFileIsReadAndThenRemoved) {
  const auto path = Folder.Write("patient.ini", "[Patient]\nName=Kiss Anna\nID=A1\n").string();
  const auto patient = HandOver::ReadAndReport(path, Texts);
  ASSERT_TRUE(patient);
  EXPECT_EQ(patient->Record.Id, "A1");
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_TRUE(HandOver::Remove(path));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(HandOverFileOnDisk, AFileThatCannotBeUsedIsReportedAndKept) {
  struct TCase {
    const char* name;
    std::string content;
    TProblem problem;
    std::size_t line;  // of the first line that is no ini text
  };
  const TCase cases[] = {
      {"picture.ini", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), TProblem::NotIniText, 1},
      {"letter.ini", "[Patient]\nName=Kiss Anna\nplease see her today.\n", TProblem::NotIniText, 3},
      {"other.ini", "[Institute]\nDoctor=Dr. Szabo\n", TProblem::NoPatient, 0},
      {"empty.ini", "", TProblem::NoPatient, 0},
  };
  for (const TCase& c : cases) {
    Sink.Messages.clear();
    const auto path = Folder.Write(c.name, c.content);
    const auto result = HandOver::Read(path.string());
    EXPECT_EQ(result.Problem, c.problem) << c.name;
    EXPECT_EQ(result.Line, c.line) << c.name;
    EXPECT_FALSE(HandOver::ReadAndReport(path.string(), Texts)) << c.name;
    const std::string expected = c.problem == TProblem::NoPatient
                                     ? Texts.Format(6112, {path.string()})
                                     : Texts.Format(6111, {path.string(), std::to_string(c.line)});
    ASSERT_EQ(Sink.Messages.size(), 1u) << c.name;
    EXPECT_EQ(Sink.Messages[0].Text, expected);
    EXPECT_EQ(TTemporaryFolder::Read(path), c.content) << c.name;
  }

  // A missing file, and a folder in its place.
  for (const auto& path : {Folder / "missing.ini", Folder.Path()}) {
    Sink.Messages.clear();
    EXPECT_FALSE(HandOver::ReadAndReport(path.string(), Texts));
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_TRUE(Sink.Messages[0].Text.starts_with("The hand-over file")) << Sink.Messages[0].Text;
  }
}

}  // namespace
