#pragma once
// Factories of the real platform layer; main.cpp wires them into the core's Platform.
#include <memory>

#include "platform/audio.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace zelv {
class IRegexEngine;
class IInternet;
class ISecondaryWindows;
class IForms;
}  // namespace zelv

namespace zelv::win32 {

std::unique_ptr<IAudioBackend> MakeAudioBackend();
std::unique_ptr<IFileSystem> MakeFileSystem();
std::unique_ptr<ISystem> MakeSystem();
std::unique_ptr<IRegistry> MakeRegistry();
std::unique_ptr<IShellWindows> MakeShellWindows();
// The automation engine "VBScript.RegExp", falling back to the built-in one when the
// object cannot be created.
std::unique_ptr<IRegexEngine> MakeRegexEngine();
std::unique_ptr<IInternet> MakeInternet();
// Needs the forms, whose main window owns the secondary windows' message boxes.
std::unique_ptr<ISecondaryWindows> MakeSecondaryWindows(IForms& forms);

}  // namespace zelv::win32
