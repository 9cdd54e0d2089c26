#pragma once

// Brings an older test table to the current layout. Older VC tables keep
// four values per array (14 fields); the current layout keeps five (17).
// The upgrade runs in the table's own file in one transaction: the table
// of the current layout is made, every row copied (the new values 0), the
// row counts compared, the old table dropped and the new one renamed; a
// failure or a crash leaves the old table as it was.
//
// Every failing step is reported in a box naming the step, with the
// result's category and code and the database's own message.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class TMessage;

namespace TableRestructure {

// Called between the steps of an upgrade with the step's name (tests stop
// the process there).
using TStepHook = std::function<void(std::string_view step)>;

// True when the table file of the folder has fewer fields than `fields`;
// `result` is 0 when every step succeeded, else the failing step's result
// (after its box). A table that cannot be opened counts no fields.
bool TableNeedsRestructure(const std::filesystem::path& folder, short& result, std::string_view table, int fields,
                           TMessage* texts);
// Upgrades the table to the current layout of its kind; 0 or the result of
// the failing step (after its box).
short RestructureTable(const std::filesystem::path& folder, std::string_view table, TMessage* texts,
                       const TStepHook& hook = {});

// What the open-patient command runs before it checks the tables: the VC
// table upgraded when it needs it. 0 when the table is usable.
short UpgradeVcTable(const std::filesystem::path& folder, TMessage* texts);

// The two report forms: with the database's message for the step, or with
// the text of the result alone.
std::string ErrorReport(std::string_view step, short result, std::string_view message);
std::string ResultReport(std::string_view step, short result, std::string_view text);

}  // namespace TableRestructure
