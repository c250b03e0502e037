#pragma once
namespace zelv {
// Access to the default playback device's master volume and mute state.
class EndpointVolume {};
}  // namespace zelv
