#include "platform/basekit/PrintHeader.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "testing/RecordingSurface.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

class PrintHeaderTest : public ::testing::Test {
protected:
  PrintHeaderTest() {
    std::strcpy(Patient.Name, "Kovacs Anna");
    std::strcpy(Patient.Id, "123456789");
    Patient.Age = 42;
    Patient.Height = 170;
    Patient.Weight = 65;
  }

  bool Printed(const TRecordingSurface& surface, const std::string& text) const {
    const auto texts = surface.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  PREDICTED_DATA Patient{};
};

TEST_F(PrintHeaderTest, PrintStructKeepsItsChoicesAndRefusesValuesOutOfRange) {
  Folder.Write("Halvetra.ini", "[Print Struct]\nSelect00=0\nSelect07=5\nSelect45=-1\nSelect44=1\nNote=7\n");
  TPrintHeader header(&Texts, 1.0f, 1.0f, Ini, Patient);
  EXPECT_EQ(header.Selection[0], 0);
  EXPECT_EQ(header.Selection[7], 1);   // out of range: the default
  EXPECT_EQ(header.Selection[45], 1);  // the note, by default
  EXPECT_EQ(header.Selection[44], 1);
  EXPECT_EQ(header.Selection[12], 0);
  EXPECT_EQ(header.NoteFlag, 1);

  header.Selection[12] = 1;
  header.NoteFlag = 0;
  ASSERT_TRUE(header.WritePrintStruct());
  const TPrintHeader again(&Texts, 1.0f, 1.0f, Ini, Patient);
  EXPECT_EQ(again.Selection, header.Selection);
  EXPECT_EQ(again.NoteFlag, 0);
}

TEST_F(PrintHeaderTest, HeaderNamesPatientDoctorInstituteEquationsAndPage) {
  TPrintHeader header(&Texts, 1.25f, 1.25f, Ini, Patient);
  header.PrintDate = [] { return std::string("2026.12.10."); };
  header.Author = {"Dr. Szabo", "Lung Lab", "1 Main Street"};
  header.Algorithm1 = "ECCS";
  header.Algorithm2 = "Knudson";
  TRecordingSurface surface({1000, 1400});
  header.HeaderPrint(surface, "Lung function test", "Printed by Halvetra", 2, 1);
  for (const char* text : {"Lung function test", "1/2", "Lung Lab", "1 Main Street",
                           "Name: Kovacs Anna   Identifier: 123456789", "Age: 42   Height: 170 cm   Weight: 65 kg",
                           "Doctor: Dr. Szabo", "Predicted values: ECCS (actual), Knudson (previous)",
                           "Printed: 2026.12.10."})
    EXPECT_TRUE(Printed(surface, text)) << text;
  EXPECT_EQ(header.PrintY, header.CalculateHeaderHeight());

  TRecordingSurface later({1000, 1400});
  header.SmallHeaderPrint(later, "Printed by Halvetra", 2, 2);
  EXPECT_TRUE(Printed(later, "2/2"));
  EXPECT_TRUE(Printed(later, "Name: Kovacs Anna   Identifier: 123456789"));
  EXPECT_EQ(header.PrintY, header.CalculateSmallHeaderHeight());
  // Every text lies inside the page width, scaled.
  for (const auto& call : surface.OfKind(TRecordingSurface::TKind::TextInRect))
    EXPECT_LE(call.Rect.Right, 1000) << call.Text;
}

// Every field of the patient block is printed: sex and birth date beside
// the doctor. A header without a previous test names only the
// actual equation set, not an empty "(previous)".
TEST_F(PrintHeaderTest, HeaderPrintsSexAndBirthDateAndNoEmptyPreviousEquations) {
  Patient.Sex = 1;
  Patient.BirthYear = 1984;
  Patient.BirthMonth = 3;
  Patient.BirthDay = 7;
  TPrintHeader header(&Texts, 1.0f, 1.0f, Ini, Patient);
  header.Algorithm1 = "ECCS";
  TRecordingSurface surface({800, 1200});
  header.HeaderPrint(surface, "Lung function test", "", 1, 1);
  EXPECT_TRUE(Printed(surface, "Sex: Male   Born: 1984.03.07."));
  EXPECT_TRUE(Printed(surface, "Predicted values: ECCS"));
  for (const std::string& text : surface.Texts())
    EXPECT_EQ(text.find("(previous)"), std::string::npos) << text;

  Patient.Sex = 0;
  Patient.BirthYear = 0;
  TPrintHeader unknownBirth(&Texts, 1.0f, 1.0f, Ini, Patient);
  TRecordingSurface second({800, 1200});
  unknownBirth.HeaderPrint(second, "Lung function test", "", 1, 1);
  EXPECT_TRUE(Printed(second, "Sex: Female   Born: "));
  for (const std::string& text : second.Texts())
    EXPECT_EQ(text.find("Predicted values"), std::string::npos) << "no equations named: " << text;
}

}  // namespace
