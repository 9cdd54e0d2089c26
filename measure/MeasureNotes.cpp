// The three notes of a window: 0 the current test's own, 1 the actual and
// 2 the earlier measurement of a pre/post comparison. A comparison note
// that was never given shows a text of its own and is marked as not set.

#include "measure/MeasureCore.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"

void TMeasureCore::SetNote(short which, std::string_view text) {
  const std::string cut(Utf8::Truncate(text, NoteLength));
  switch (which) {
  case 0:
    Notes[0] = cut;
    if (!Printing)
      ShowNote(Notes[0]);
    break;
  case 1:
  case 2: {
    const std::size_t n = static_cast<std::size_t>(which);
    NoteSet[n] = !cut.empty();
    if (NoteSet[n])
      Notes[n] = cut;
    else
      Notes[n] = Messages ? std::string(Utf8::Truncate(Messages->LoadStringA(which == 1 ? 84 : 85), NoteLength)) : "";
    break;
  }
  default: break;
  }
}

const std::string& TMeasureCore::GetNoteText(short which) const {
  static const std::string none;
  return which >= 0 && which <= 2 ? Notes[static_cast<std::size_t>(which)] : none;
}

bool TMeasureCore::IsNoteSet(short which) const {
  return which >= 1 && which <= 2 && NoteSet[static_cast<std::size_t>(which)];
}
