#pragma once

#include <filesystem>

class TMessage;

// Makes a database of empty tables as the program keeps it: "doctor.db" in
// the common folder, the patient table and the test tables in the database
// folder. Both folders are made when missing.
void CreateTestDatabase(const std::filesystem::path& commonFolder, const std::filesystem::path& databaseFolder,
                        TMessage* texts);
