#pragma once

// How the adapters over the program's windows keep the record code's plain
// state and the window in step, one field at a time: a change the record
// code made since the record was last handed out goes to the window; then
// the window's value comes back.

namespace RecordState {

template <class TValue, class TGet, class TSet>
void Step(TValue& record, TValue& given, TGet get, TSet set) {
  if (record != given)
    set(record);
  record = given = static_cast<TValue>(get());
}

}  // namespace RecordState
