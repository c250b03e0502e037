#pragma once
// The user's bar and track colours: "#RRGGBB" texts kept in two files beside the executable.
#include <cstddef>
#include <cstdint>

#include "platform/files.h"
#include "platform/types.h"

namespace zelv {

class App;

inline constexpr char kBarColourFileName[] = "\\color.ini";
inline constexpr char kTrackColourFileName[] = "\\color_bj.ini";
// A colour file is a 7-byte line; more than this is never read, so a huge or endless file
// cannot stall start-up.
inline constexpr std::size_t kColourFileReadLimit = 64 * 1024;

// The hexadecimal digits of the text as a number, the rightmost least significant; other
// bytes are skipped, and digits beyond the 16th from the right are ignored.
[[nodiscard]] std::uint64_t HexToInteger(const Text& text) noexcept;
// Any text to a colour: every "#" removed, then bytes 1-2, 3-4, 5-6 as red, green, blue.
[[nodiscard]] ColourValue ParseHexColour(const Text& text);
// True when the path names an existing entry that is not a directory.
[[nodiscard]] bool FileExists(IFileSystem& files, const Text& path);

// Start-up: the bar colour file onto the fill, then the track colour file onto the track.
void ApplyColourFiles(App& app);

// The three colour commands of the context menu.
void OnMenuBarColour(App& app);
void OnMenuTrackColour(App& app);
void OnMenuRestoreColours(App& app);

}  // namespace zelv
