#pragma once
namespace zelv {
// The about window's update check and its worker thread.
class UpdateCheck {};
}  // namespace zelv
