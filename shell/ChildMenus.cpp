#include "shell/ChildMenus.h"

#include "common/CommandNumbers.h"

namespace ChildMenus {

std::vector<TMenuEntry> Note() {
  using E = TMenuEntry;
  constexpr int NoteText = 251;
  return {E::Popup(NoteText, {
                                 E::CommandWithKey(CM_EDITUNDO, 283, "Ctrl+Z"),
                                 E::Separator(),
                                 E::CommandWithKey(CM_EDITCUT, 277, "Ctrl+X"),
                                 E::CommandWithKey(CM_EDITCOPY, 278, "Ctrl+C"),
                                 E::CommandWithKey(CM_EDITPASTE, 279, "Ctrl+V"),
                                 E::CommandWithKey(CM_EDITDELETE, 262, "Del"),
                                 E::CommandWithKey(CM_EDITCLEAR, 280, "Ctrl+Del"),
                                 E::Separator(),
                                 E::Command(CM_FILESAVEAS, 281, true),
                                 E::Separator(),
                                 E::Command(CM_DATE_TIME, 316),
                             })};
}

}  // namespace ChildMenus
