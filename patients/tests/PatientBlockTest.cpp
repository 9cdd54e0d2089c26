// The patient block that every test receives, byte by byte, and the
// predicted-value correction of the patient's population.

#include "patients/tests/PatientSheetFixture.h"

namespace {

using namespace PatientControl;

// The 84 bytes written out by hand: a zero-padded text, then little-endian
// 32-bit numbers.
class TExpectedBlock {
public:
  TExpectedBlock& Text(std::string_view text, std::size_t width) {
    std::string field(text);
    field.resize(width, '\0');
    Bytes += field;
    return *this;
  }
  TExpectedBlock& Int(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
      Bytes += static_cast<char>((value >> shift) & 0xFF);
    return *this;
  }
  std::string Bytes;
};

std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
    out += (i + 1) % 16 == 0 ? '\n' : ' ';
  }
  return out;
}

class PatientBlockTest : public PatientSheetTest {
protected:
  PREDICTED_DATA Block() const {
    PREDICTED_DATA block;
    Sheet->FillPatientData(block);
    return block;
  }
};

TEST_F(PatientBlockTest, AMetricPatientByteByByte) {
  TPatientFields patient = Patient("Anna Kovacs", "2850315", "1985.03.15.");
  patient.Height = 168;
  patient.Weight = 61;
  Database.Add(patient);
  StartSheet({.Layout = TPageLayout::Full});

  const std::string bytes = Block().ToBytes();
  // 15 June 2024: the birthday in March has passed, 2024 - 1985 = 39.
  const std::string expected = TExpectedBlock()
                                   .Text("Anna Kovacs", 31)
                                   .Text("2850315", 17)
                                   .Int(39)    // age
                                   .Int(168)   // height, cm
                                   .Int(61)    // weight, kg
                                   .Int(0)     // female
                                   .Int(0)     // reserved
                                   .Int(1985)  // birth year, month, day
                                   .Int(3)
                                   .Int(15)
                                   .Int(0)  // metric
                                   .Bytes;
  ASSERT_EQ(bytes.size(), 84u);
  EXPECT_EQ(Hex(bytes), Hex(expected));
}

TEST_F(PatientBlockTest, AnImperialPatientKeepsInchesAndPounds) {
  Database.Add(Patient("Someone Else", "X-1", "1950.01.01."));
  StartSheet({.Layout = TPageLayout::Medium});
  Sheet->CmPatientNew();
  TypeAndLeave(Name, "John  Smith ");
  TypeAndLeave(Identifier, "US-555-0199");
  TypeAndLeave(Date, "1972.02.29.");
  Sheet->CmChangeSex(1);
  TypeAndLeave(Height, "5 ft 10 in");
  TypeAndLeave(Weight, "165 lb");
  ASSERT_TRUE(Sheet->Verified());  // the record takes the unit of the height

  const std::string bytes = Block().ToBytes();
  const std::string expected = TExpectedBlock()
                                   .Text("John Smith", 31)
                                   .Text("US-555-0199", 17)
                                   .Int(52)  // 29 Feb 1972 on 15 June 2024
                                   .Int(70)  // 5 x 12 + 10 inches
                                   .Int(165)
                                   .Int(1)  // male
                                   .Int(0)
                                   .Int(1972)
                                   .Int(2)
                                   .Int(29)
                                   .Int(1)  // imperial
                                   .Bytes;
  EXPECT_EQ(Hex(bytes), Hex(expected));
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(PatientBlockTest, TheBlockCarriesTheSheetAsShown) {
  Database.Add(Patient("Anna Kovacs", "A-100", "1980.05.20."));
  StartSheet({.Layout = TPageLayout::Full});

  // The age as the age field holds it.
  struct AgeCase {
    std::string field;
    std::int32_t age;
  };
  for (const AgeCase& c : std::initializer_list<AgeCase>{{"", 0}, {"45 years", 45}, {"  45", 45}, {"years", 0}}) {
    Type(Age, c.field);
    EXPECT_EQ(Block().Age, c.age) << "'" << c.field << "'";
  }

  // The first identifier, also while the tab shows the second.
  Sheet->TChangeID(1);
  Type(Identifier, "SECOND");
  EXPECT_EQ(Block().GetId(), "A-100");

  // Names tidied, and cut to 30 bytes at a character boundary.
  Type(Name, "  Anna   Maria  Kovacs ");
  EXPECT_EQ(Block().GetName(), "Anna Maria Kovacs");
  Type(Name, std::string(35, 'x'));
  EXPECT_EQ(Block().GetName(), std::string(30, 'x'));
  std::string accented;
  for (int i = 0; i < 16; ++i)
    accented += "é";
  Type(Name, accented);
  EXPECT_EQ(Block().GetName(), accented.substr(0, 30));
}

TEST_F(PatientBlockTest, ANewPatientOnAnEmptyTablePassesThePlaceholder) {
  StartSheet({.DefaultUnit = TUnitSystem::Imperial, .DefaultHeight = 70, .DefaultWeight = 160});
  const PREDICTED_DATA block = Block();
  EXPECT_EQ(block.GetName(), Text(394));
  EXPECT_EQ(block.GetId(), Text(394));
  EXPECT_EQ(block.Height, 70);
  EXPECT_EQ(block.Weight, 160);
  EXPECT_EQ(block.Unit, 1);
  EXPECT_EQ(block.Age, 0);
  // The placeholder is no date: its parts are the engine's -1.
  EXPECT_EQ(block.BirthYear, -1);
}

TEST_F(PatientBlockTest, ThePopulationGivesThePredictedValueFactor) {
  const std::pair<int, float> cases[] = {{0, 1.0f}, {1, 1.0f}, {2, 0.8f}, {3, 1.1f}, {4, 0.7f}, {5, 1.0f}, {-1, 1.0f}};
  for (const auto& [population, factor] : cases) {
    EXPECT_EQ(PopulationCorrection(population), factor) << population;
    TPatientFields patient = Patient("Anna Kovacs", "A-100", "1980.05.20.");
    patient.Population = population;
    Database.Rows.clear();
    Database.Add(patient);
    // The factor follows the shown record in every layout.
    StartSheet({.Layout = TPageLayout::Small});
    EXPECT_EQ(Sheet->GetPopulationFactor(), factor) << population;
  }
}

}  // namespace
