#include "records/tests/RecordsFixture.h"

#include "platform/dbkit/Engine.h"
#include "testing/TestDatabase.h"

#include <filesystem>

TMessage& TRecordsFixture::Texts() {
  static TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  return texts;
}

TRecordsFixture::TRecordsFixture()
    : WorkFiles([this](short kind) { return Folder / ("WORK" + std::to_string(kind) + ".~IN"); },
                [this](int stage, short kind) {
                  return Folder / ("STAGE" + std::to_string(kind) + ".~0" + std::to_string(stage));
                },
                &Texts()) {
  Texts().SetSink(&Sink);
  CreateTestDatabase(Folder.Path(), Folder.Path(), &Texts());
  OpenTables();
}

TRecordsFixture::~TRecordsFixture() {
  Tables.Close();
  Texts().SetSink(nullptr);
}

void TRecordsFixture::OpenTables() {
  for (std::size_t i = 0; i < TMeasureTables::Tables.size(); ++i)
    ASSERT_TRUE(Tables.Open(i, &Texts(), Folder.Path().string(), [] {}));
}

long TRecordsFixture::RowCount(std::string_view table) const {
  long count = -1;
  OpenTestTable(Folder.Path(), table, &Texts())->GetNumberOfRecords(count);
  return count;
}

void TRecordsFixture::Measure(short kind, float lead, int samples) {
  Window.FillTrial(kind, 0, lead, samples);
  Window.State().ActualTrial = {1, 0, 0};
  Window.State().NewResult[static_cast<std::size_t>(kind)] = true;
  Window.State().ChangedData = true;
  Window.Mode = kind;
}

void TRecordsFixture::MeasurePlethy() {
  Measure(MEASURE_PLETHY, 6.0f, 400);
  Window.SetBeginResistanceLoop(0, 10);
  Window.SetEndResistanceLoop(0, 20);
  Window.SetBeginTGVLoop(0, 30);
  Window.SetEndTGVLoop(0, 35);
}
