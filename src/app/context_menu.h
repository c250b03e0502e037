#pragma once
// The right-click menu as data: its eight items in menu order.
#include <array>
#include <optional>
#include <vector>

#include "platform/forms.h"

namespace zelv {

struct ContextMenuEntry {
  MenuCommand command;
  const char* text;
};

extern const std::array<ContextMenuEntry, 8> kContextMenuEntries;

// The popup's items with their ids (1..8; 0 and -1 mean "nothing chosen" to the menu
// tracker) and the autostart item's check mark.
[[nodiscard]] std::vector<PopupItem> ContextMenuItems(bool autostartChecked);
[[nodiscard]] std::optional<MenuCommand> MenuCommandFromId(int id);

}  // namespace zelv
