#pragma once

// The test tables of the database that the patient sheet keeps open while
// it lives, one engine each, for the rest of the program to reach the
// current patient's examinations through it.

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

class TEngine;
class TMessage;

class TMeasureTables {
public:
  struct TTable {
    std::string_view File;
    std::string_view Label;  // how the progress window names it
  };
  // In the order they are opened: the examinations, the six spirometric
  // kinds (by their index), the audiograms and the rhinomanometries.
  static constexpr std::array<TTable, 9> Tables{{{"meet.db", "Meet"},
                                                 {"fvc.db", "Fvc"},
                                                 {"vc.db", "Vc"},
                                                 {"mvv.db", "Mvv"},
                                                 {"dfc.db", "Dfc"},
                                                 {"pl.db", "Pl"},
                                                 {"sh.db", "Sh"},
                                                 {"audio.db", "Audio"},
                                                 {"rhino.db", "Rhino"}}};

  TMeasureTables();
  ~TMeasureTables();
  TMeasureTables(const TMeasureTables&) = delete;
  TMeasureTables& operator=(const TMeasureTables&) = delete;

  // Opens the table of that index in the database folder and goes to its
  // first row, with a progress step between the stages. False when a stage
  // failed (the engine has said why); the engine is kept until Close.
  bool Open(std::size_t index, TMessage* texts, std::string_view folder, const std::function<void()>& step);
  // Closes and drops every engine.
  void Close();
  // The engine of a table; null while it is not open.
  TEngine* Get(std::size_t index) const;
  bool AllOpen() const;

private:
  std::array<std::unique_ptr<TEngine>, Tables.size()> Engines;
  std::array<bool, Tables.size()> Opened{};
};
