#pragma once
namespace zelv {
// The poll thread that keeps the bar, the level text and the mute label current.
class VolumePoller {};
}  // namespace zelv
