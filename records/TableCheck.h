#pragma once

// Whether a table of the database is one this program can work with: its
// file is there and is a table of its kind in the layout the program keeps,
// with every field. Checked before the patient sheet opens a database, so
// that an older or foreign table is named before anything is shown of it.

#include <string_view>

class TMessage;

namespace TableCheck {

// 0 when the table in the folder is of the kind (TableKind) in the current
// layout; otherwise the engine's result, after the user was shown what is
// wrong.
short CheckTableLayout(std::string_view folder, std::string_view table, short kind, TMessage* texts);

}  // namespace TableCheck
