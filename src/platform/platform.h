#pragma once
// Everything the core reaches of the platform, handed to it in one bundle.
namespace zelv {

class IForms;
class IAudioBackend;
class IFileSystem;
class ISystem;
class IRegistry;
class IShellWindows;
class IRegexEngine;       // platform/regex_engine.h
class IInternet;          // platform/internet.h
class ISecondaryWindows;  // platform/secondary_windows.h

struct Platform {
  IForms* forms = nullptr;
  IAudioBackend* audio = nullptr;
  IFileSystem* files = nullptr;
  ISystem* system = nullptr;
  IRegistry* registry = nullptr;
  IShellWindows* shell = nullptr;
  IRegexEngine* regex = nullptr;
  IInternet* internet = nullptr;
  ISecondaryWindows* secondary = nullptr;
};

}  // namespace zelv
