#include "patients/MeasureTables.h"

#include "patients/SheetEngines.h"
#include "platform/dbkit/Engine.h"

TMeasureTables::TMeasureTables() = default;
TMeasureTables::~TMeasureTables() { Close(); }

bool TMeasureTables::Open(std::size_t index, TMessage* texts, std::string_view folder,
                          const std::function<void()>& step) {
  auto& engine = Engines.at(index);
  engine = std::make_unique<TEngine>();
  SheetEngines::Prepare(*engine, texts, folder, Tables[index].File);
  step();
  std::uint32_t database = 0, cursor = 0;
  if (engine->OpenDB(database) != 0 || engine->GetTable(cursor) != 0)
    return false;
  step();
  if (engine->GoTop(1) != 0)
    return false;
  step();
  Opened[index] = true;
  return true;
}

void TMeasureTables::Close() {
  for (std::size_t i = 0; i < Engines.size(); ++i) {
    if (!Engines[i])
      continue;
    std::uint32_t handle = 0;
    if (Engines[i]->IsTableOpen())
      Engines[i]->CloseTable(handle);
    if (Engines[i]->IsDatabaseOpen())
      Engines[i]->CloseDb(handle);
    Engines[i].reset();
    Opened[i] = false;
  }
}

TEngine* TMeasureTables::Get(std::size_t index) const { return Opened.at(index) ? Engines[index].get() : nullptr; }

bool TMeasureTables::AllOpen() const {
  for (const bool opened : Opened)
    if (!opened)
      return false;
  return true;
}
