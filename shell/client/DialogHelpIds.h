#pragma once

// The help ids that the program's dialogs send with their Help button, in
// one place: each has its page among the help pages, and a new dialog with
// a Help button joins this list. Dialogs opened by a menu command use that
// command's number (its page is there with the menu's).

#include <array>

namespace Help {

inline constexpr std::array<int, 10> DialogHelpIds{
    29,     // choice of the parameters shown
    2100,   // creation of a database
    2108,   // institute
    2111,   // patient search
    2119,   // start-up settings
    2120,   // browser of a patient's tests
    2121,   // database location
    2122,   // trend window and its dialogs
    2125,   // doctors and a doctor's data
    20135,  // export into a spreadsheet
};

}  // namespace Help
