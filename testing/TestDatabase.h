#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

class TEngine;
class TMessage;

// Makes a database of empty tables as the program keeps it: "doctor.db" in
// the common folder, the patient table and the test tables in the database
// folder. Both folders are made when missing.
void CreateTestDatabase(const std::filesystem::path& commonFolder, const std::filesystem::path& databaseFolder,
                        TMessage* texts);

// An engine on a table of a folder with its database open, the table not
// yet: for a test to make or open the table itself.
std::unique_ptr<TEngine> OpenTestDatabase(const std::filesystem::path& folder, std::string_view table,
                                          TMessage* texts);

// An engine on a table of a folder, its database and table open, for a test
// to fill or read the table as another program would.
std::unique_ptr<TEngine> OpenTestTable(const std::filesystem::path& folder, std::string_view table, TMessage* texts);
