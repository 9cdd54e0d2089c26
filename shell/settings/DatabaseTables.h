#pragma once

// The tables of a database: doctor.db in the common folder, the patients,
// examinations and tests in the database folder. A new database gets every
// table that is missing; an existing table is never touched.

#include "platform/dbkit/Records.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

class TMessage;

namespace DatabaseTables {

struct TTable {
  std::string_view File;
  short Kind;  // TableKind, as TEngine::CreateTable takes it
};

// The tables of the database folder, in the order they are made.
inline constexpr std::array<TTable, 10> DataTables = {{{"names.db", TableKind::Names},
                                                       {"meet.db", TableKind::Meet},
                                                       {"fvc.db", TableKind::Fvc},
                                                       {"vc.db", TableKind::Vc},
                                                       {"mvv.db", TableKind::Mvv},
                                                       {"audio.db", TableKind::Audio},
                                                       {"rhino.db", TableKind::Rhino},
                                                       {"dfc.db", TableKind::Dfc},
                                                       {"sh.db", TableKind::Shutter},
                                                       {"pl.db", TableKind::Plethy}}};
// The doctors are shared by the databases of one common folder.
inline constexpr TTable DoctorTable = {"doctor.db", TableKind::Doctor};

// Makes the missing tables with the language driver: doctor.db in the
// common folder, then the tables of the database folder. Stops at the first
// failure, which the engine has shown; `step` runs after each table.
bool CreateMissing(const std::string& commonFolder, const std::string& databaseFolder, std::string_view driver,
                   TMessage& messages, const std::function<void()>& step = {});

}  // namespace DatabaseTables
