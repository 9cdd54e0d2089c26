#include "platform/dbkit/tests/EngineTestSupport.h"

#include "testing/TestDatabase.h"

#include <QCryptographicHash>

#include <cmath>
#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::filesystem::path LanguageFolder = std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang";

}  // namespace

TEngineTest::TEngineTest() : Texts("English", LanguageFolder) { Texts.SetSink(&Sink); }

void TEngineTest::TearDown() {
  Sink.ExpectAllTaken();
}

std::vector<TUserMessage> TEngineTest::TakeMessages() {
  std::vector<TUserMessage> messages;
  messages.swap(Sink.Messages);
  return messages;
}

std::unique_ptr<TEngine> TEngineTest::Engine(std::string_view table, const std::filesystem::path& folder) {
  return OpenTestDatabase(folder, table, &Texts);
}

std::unique_ptr<TEngine> TEngineTest::Table(std::string_view table, short kind) {
  auto engine = Engine(table);
  std::uint32_t cursor = 0;
  const short result = kind >= 0 ? engine->CreateTable(cursor, kind, "") : engine->GetTable(cursor);
  EXPECT_EQ(result, 0) << table;
  EXPECT_NE(cursor, 0u);
  return engine;
}

PatientRecordType Patient(std::string_view name, std::string_view id, std::string_view birthDate) {
  PatientRecordType record;
  SetFieldText(record.Name, name);
  SetFieldText(record.Id, id);
  SetFieldText(record.Date[0], birthDate);
  record.Sex = 1;
  record.Height = 175;
  record.Weight = 70;
  record.Doctor = 1;
  return record;
}

MeetRecordType Meet(std::int32_t patientKey, std::string_view date, std::string_view time, std::int32_t flags) {
  MeetRecordType record;
  record.PatientKey = patientKey;
  SetFieldText(record.Date, date);
  SetFieldText(record.Time, time);
  record.Flags = flags;
  SetFieldText(record.Version, "V1.000");
  return record;
}

DoctorRecordType Doctor(std::string_view name, std::string_view code) {
  DoctorRecordType record;
  SetFieldText(record.Name, name);
  SetFieldText(record.Code, code);
  record.Treating = 1;
  return record;
}

std::vector<float> FlowCurve(std::size_t samples) {
  std::vector<float> flow(samples);
  for (std::size_t i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / 100.0;
    flow[i] = static_cast<float>(9.0 * t / 0.1 * std::exp(1.0 - t / 0.1) * std::exp(-t));
  }
  return flow;
}

std::string Checksum(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    hash.addData(QByteArrayView(buffer, in.gcount()));
  return hash.result().toHex().toStdString();
}

std::map<std::string, std::string> FolderChecksums(const std::filesystem::path& folder) {
  std::map<std::string, std::string> sums;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file())
      sums[entry.path().filename().string()] = Checksum(entry.path());
  return sums;
}
