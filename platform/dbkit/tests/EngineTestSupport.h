#pragma once

// What the engine's tests share: engines on tables of a temporary folder
// with the English texts and a recording sink, records to store, file
// checksums and child processes.

#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "testing/ChildProcess.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

class TEngineTest : public ::testing::Test {
protected:
  TEngineTest();
  // No test leaves a message box it did not expect.
  void TearDown() override;

  // An engine with the folder, table name and texts set and its database open.
  std::unique_ptr<TEngine> Engine(std::string_view table, const std::filesystem::path& folder);
  std::unique_ptr<TEngine> Engine(std::string_view table) { return Engine(table, Folder.Path()); }
  // ... and the table made anew (kind) or opened (-1).
  std::unique_ptr<TEngine> Table(std::string_view table, short kind = -1);
  // The messages shown so far; they count as expected.
  std::vector<TUserMessage> TakeMessages();

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
};

PatientRecordType Patient(std::string_view name, std::string_view id, std::string_view birthDate = "1950.03.07.");
MeetRecordType Meet(std::int32_t patientKey, std::string_view date, std::string_view time,
                    std::int32_t flags = MeetFlag::Fvc);
DoctorRecordType Doctor(std::string_view name, std::string_view code);
// A forced expiration as the FVC table keeps it: flow in L/s, 100 samples a second.
std::vector<float> FlowCurve(std::size_t samples);

std::string Checksum(const std::filesystem::path& file);
// The checksum of every file of a folder, by name.
std::map<std::string, std::string> FolderChecksums(const std::filesystem::path& folder);
