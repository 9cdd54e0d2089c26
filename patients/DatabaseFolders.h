#pragma once

// Where the database lies, as the settings file's [Path] section says, and
// the choices the database dialogs make there: local or network folders,
// and which folder under the common folder is the database. Folders are
// written as the settings file writes them (backslashes).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TMessage;

namespace DatabaseFolders {

// Capacity of a folder of the settings, the terminating zero included.
inline constexpr std::size_t FolderFieldSize = 255;
// A database folder's own name as the creation dialog shows it.
inline constexpr std::size_t SelectedNameSize = 20;
// What the creation dialog lets the user type as a new folder's name.
inline constexpr std::size_t NewNameSize = 8;

struct TFolders {
  short LocalNet = 0;    // 0 local, else network
  std::string Common;    // doctor.db and the database folders below it
  std::string Database;  // the tables of the patients and their tests
};

// [Path] Program, the folder the defaults are built from (the working
// folder when not set).
std::string ReadProgramFolder(const std::string& iniPath);

// [Path] LocalNet and, by it, NetCommon and NetDatabase or Common and
// Database; missing folders are the program folder's "Database" and
// "Database\Data".
TFolders Read(const std::string& iniPath, const std::string& programFolder);

// Whether a folder holds a table's file; table names match without regard
// to letter case ("Names.db" is "names.db").
bool HoldsTable(const std::string& folder, std::string_view file);

// --- The database location
// Local: LocalNet = 0. Network: LocalNet = 1 when the network folders are
// set; on the first choice of the network they are derived first from the
// database engine's network folder (which ends in a separator), and nothing
// is written when the engine gives none. Answers whether the choice was
// stored; a settings file that cannot be written is told to the user.
using TNetworkFolder = std::function<std::optional<std::string>()>;
bool SetDatabasePath(const std::string& iniPath, bool network, const TNetworkFolder& networkFolder,
                     const TMessage& messages);

// --- The choice or creation of a database folder
// The database folder's own name (after the last backslash), as the
// creation dialog shows it.
std::string SelectedName(std::string_view databaseFolder);
// The folders under the common folder, in the order of their names.
std::vector<std::string> SubFolders(const std::string& commonFolder);
// What a database folder holds, in the order of the names.
std::vector<std::string> FilesIn(const std::string& commonFolder, std::string_view name);
// A typed name is the name of one folder of the common folder: not empty,
// not "." or "..", without a separator.
bool IsFolderName(std::string_view name);
// The folder of a name under the common folder. A folder that exists with
// another letter case is that folder.
std::string FolderPath(const std::string& commonFolder, std::string_view name);

// Whether the database folder can be used: an existing folder must take
// new files; a missing one is made after the user agreed. Every refusal is
// told to the user.
bool TestDirectory(const std::string& folder, const TMessage& messages);

// Stores the chosen folder as [Path] NetDatabase (network) or Database.
bool StoreDatabaseFolder(const std::string& iniPath, bool network, const std::string& folder, const TMessage& messages);

}  // namespace DatabaseFolders
