#pragma once
namespace zelv {
class App;
// The 检测更新/关于 and 支持作者~~ menu commands: open the window modally.
void OpenAboutWindow(App& app);
void OpenSponsorWindow(App& app);
}  // namespace zelv
