#pragma once

// The engines of the patient sheet's tables are set up alike: the language
// texts, the folder as a full path and the table's file. The date and time
// pictures are the user's, as every engine starts with them.

#include <string>
#include <string_view>

class TEngine;
class TMessage;

namespace SheetEngines {

// A folder written as the settings write it, made a full path from the
// working folder. A folder that is no path here (one with a drive letter)
// stays as written, so that the engine says why it cannot use it.
std::string ExpandFolder(std::string_view folder);

void Prepare(TEngine& engine, TMessage* texts, std::string_view folder, std::string_view table);

}  // namespace SheetEngines
