#pragma once
// Move-only owners for Windows handles and COM pointers. Closing keeps GetLastError, so a
// caller can still read the error of the call that failed before the clean-up.
#include <windows.h>
// After windows.h: the COM guard below needs CoInitialize, which WIN32_LEAN_AND_MEAN leaves out.
#include <objbase.h>
#include <wininet.h>

#include <utility>

namespace zelv::win32 {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;
  ScopedHandle() noexcept = default;
  explicit ScopedHandle(Handle handle) noexcept : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  [[nodiscard]] Handle get() const noexcept { return handle_; }
  [[nodiscard]] explicit operator bool() const noexcept { return Traits::IsValid(handle_); }
  Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle handle = Traits::Invalid()) noexcept {
    if (Traits::IsValid(handle_)) {
      const DWORD error = ::GetLastError();
      Traits::Close(handle_);
      ::SetLastError(error);
    }
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::FindClose(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};
struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::InternetCloseHandle(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DeleteObject(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedRegKey = ScopedHandle<RegKeyTraits>;
using ScopedInternetHandle = ScopedHandle<InternetHandleTraits>;
using ScopedGdiObject = ScopedHandle<GdiObjectTraits>;
using ScopedMenu = ScopedHandle<MenuTraits>;

// An owned COM reference.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  explicit ComPtr(T* p) noexcept : p_(p) {}  // adopts the reference
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& o) noexcept : p_(o.release()) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  // For out-parameters: releases what is held first.
  T** put() noexcept {
    reset();
    return &p_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
  T* release() noexcept { return std::exchange(p_, nullptr); }
  void reset(T* p = nullptr) noexcept {
    if (p_) p_->Release();
    p_ = p;
  }

 private:
  T* p_ = nullptr;
};

// Pairs CoInitialize with CoUninitialize only when the initialisation succeeded.
class ComInitGuard {
 public:
  ComInitGuard() noexcept : hr_(::CoInitialize(nullptr)) {}
  ~ComInitGuard() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ComInitGuard(const ComInitGuard&) = delete;
  ComInitGuard& operator=(const ComInitGuard&) = delete;
  [[nodiscard]] HRESULT result() const noexcept { return hr_; }

 private:
  HRESULT hr_;
};

}  // namespace zelv::win32
