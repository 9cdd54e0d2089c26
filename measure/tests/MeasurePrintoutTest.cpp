// What a printed test takes of its window beside the results: the BTPS
// line of the settings file and the equation sets' names.

#include "measure/report/MeasurePrintout.h"
#include "measure/tests/MeasureCoreFixture.h"

namespace {

class MeasurePrintoutTest : public MeasureCoreTest {};

TEST_F(MeasurePrintoutTest, BtpsLineWhenCorrectionIsOnOrInCalibration) {
  struct Case {
    const char* name;
    const char* ini;
    short unit;
    short mode;
    std::string line;
  };
  const Case cases[] = {
      {"no section: the defaults, correction on", "", 0, MEASURE_FVC, "BTPS 25°C 50% 1070hPa"},
      {"the stored conditions", "[BTPS]\nBTPS=1\nTemperature=22\nHumidity=41\nPressure=1013\n", 0, MEASURE_VC,
       "BTPS 22°C 41% 1013hPa"},
      {"correction off", "[BTPS]\nBTPS=0\nTemperature=22\nHumidity=41\nPressure=1013\n", 0, MEASURE_FVC, ""},
      {"correction off, calibration", "[BTPS]\nBTPS=0\nTemperature=22\nHumidity=41\nPressure=1013\n", 0,
       MEASURE_CALIBRATION, "BTPS 22°C 41% 1013hPa"},
  };
  for (const Case& c : cases) {
    WriteIni(c.ini);
    EXPECT_EQ(TMeasurePrintout::BtpsLine(Texts, Ini.string(), c.unit, c.mode), c.line) << c.name;
  }
}

TEST_F(MeasurePrintoutTest, EquationSetNames) {
  EXPECT_EQ(TMeasurePrintout::AlgorithmName(0), "ECCS");
  EXPECT_EQ(TMeasurePrintout::AlgorithmName(5), "Finnish");
  EXPECT_EQ(TMeasurePrintout::AlgorithmName(-1), "");
  EXPECT_EQ(TMeasurePrintout::AlgorithmName(6), "");
}

}  // namespace
