#include "app/context_menu.h"

namespace zelv {

const std::array<ContextMenuEntry, 8> kContextMenuEntries = {{
    {MenuCommand::TrackColour, "自定义进度条背景颜色"},
    {MenuCommand::BarColour, "自定义进度条颜色"},
    {MenuCommand::RestoreColours, "恢复默认颜色方案"},
    {MenuCommand::UpdateAbout, "检测更新/关于"},
    {MenuCommand::Support, "支持作者~~"},
    {MenuCommand::Autostart, "开机启动"},
    {MenuCommand::Restart, "重启程序"},
    {MenuCommand::Exit, "退出程序"},
}};

std::vector<PopupItem> ContextMenuItems(bool autostartChecked) {
  std::vector<PopupItem> items;
  items.reserve(kContextMenuEntries.size());
  int id = 1;
  for (const ContextMenuEntry& entry : kContextMenuEntries) {
    items.push_back(PopupItem{entry.text, entry.command == MenuCommand::Autostart && autostartChecked, id++});
  }
  return items;
}

std::optional<MenuCommand> MenuCommandFromId(int id) {
  if (id < 1 || id > static_cast<int>(kContextMenuEntries.size())) return std::nullopt;
  return kContextMenuEntries[static_cast<std::size_t>(id - 1)].command;
}

}  // namespace zelv
