#include "platform/win32/regex_vbscript.h"

#include <ole2.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <utility>

#include "platform/codepage.h"
#include "platform/win32/backends.h"
#include "platform/win32/handles.h"
#include "text/regex_builtin.h"

namespace zelv::win32 {
namespace {

constexpr wchar_t kProgId[] = L"VBScript.RegExp";

// An owned VARIANT: cleared on destruction, so no BSTR or interface it holds can leak.
class ScopedVariant {
 public:
  ScopedVariant() noexcept { ::VariantInit(&v_); }
  ~ScopedVariant() { ::VariantClear(&v_); }
  ScopedVariant(ScopedVariant&& o) noexcept {
    v_ = o.v_;
    ::VariantInit(&o.v_);
  }
  ScopedVariant& operator=(ScopedVariant&& o) noexcept {
    if (this != &o) {
      ::VariantClear(&v_);
      v_ = o.v_;
      ::VariantInit(&o.v_);
    }
    return *this;
  }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  static ScopedVariant Bool(bool b) noexcept {
    ScopedVariant s;
    s.v_.vt = VT_BOOL;
    s.v_.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return s;
  }
  static ScopedVariant Int(int i) noexcept {
    ScopedVariant s;
    s.v_.vt = VT_I4;
    s.v_.lVal = i;
    return s;
  }
  // Texts cross in the ANSI code page, as the object's other users on this system expect.
  static ScopedVariant String(const Text& text) noexcept {
    ScopedVariant s;
    try {
      const WideText wide = AnsiToUtf16(text);
      BSTR b =
          ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
      if (b) {
        s.v_.vt = VT_BSTR;
        s.v_.bstrVal = b;
      }
    } catch (...) {
    }
    return s;
  }

  VARIANT* get() noexcept { return &v_; }
  const VARIANT& ref() const noexcept { return v_; }

  // The value as text; empty for Empty, Null and anything that does not convert.
  Text ToText() const noexcept {
    try {
      ScopedVariant s;
      if (FAILED(::VariantChangeType(s.get(), const_cast<VARIANT*>(&v_), 0, VT_BSTR)) || !s.v_.bstrVal)
        return {};
      const BSTR b = s.v_.bstrVal;
      return Utf16ToAnsi(WideText(reinterpret_cast<const char16_t*>(b), ::SysStringLen(b)));
    } catch (...) {
      return {};
    }
  }
  int ToInt() const noexcept {
    ScopedVariant s;
    if (FAILED(::VariantChangeType(s.get(), const_cast<VARIANT*>(&v_), 0, VT_I4))) return 0;
    return static_cast<int>(s.v_.lVal);
  }
  // Takes the object out of a VT_DISPATCH or VT_UNKNOWN result.
  ComPtr<IUnknown> TakeObject() noexcept {
    ComPtr<IUnknown> out;
    if ((v_.vt == VT_DISPATCH || v_.vt == VT_UNKNOWN) && v_.punkVal)
      v_.punkVal->QueryInterface(IID_IUnknown, out.put_void());
    return out;
  }

 private:
  VARIANT v_;
};

// Calls a member by name. `args` are in call order; DISPPARAMS wants them reversed.
HRESULT Call(IUnknown* object, const wchar_t* name, WORD flags, ScopedVariant* args, UINT count,
             ScopedVariant* result) noexcept {
  if (!object) return E_POINTER;
  ComPtr<IDispatch> dispatch;
  HRESULT hr = object->QueryInterface(IID_IDispatch, dispatch.put_void());
  if (FAILED(hr) || !dispatch) return FAILED(hr) ? hr : E_NOINTERFACE;
  std::wstring member(name);
  LPOLESTR names[] = {member.data()};
  DISPID id = DISPID_UNKNOWN;
  hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;

  VARIANT reversed[2];
  if (count > 2) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) reversed[count - 1 - i] = args[i].ref();
  DISPPARAMS params{};
  params.rgvarg = count ? reversed : nullptr;
  params.cArgs = count;
  DISPID namedPut = DISPID_PROPERTYPUT;
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &namedPut;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT argError = 0;
  hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result->get() : nullptr,
                        &exception, &argError);
  // An invalid pattern arrives as DISP_E_EXCEPTION with descriptive strings to free.
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return hr;
}

HRESULT Put(IUnknown* object, const wchar_t* name, ScopedVariant value) noexcept {
  return Call(object, name, DISPATCH_PROPERTYPUT, &value, 1, nullptr);
}

ScopedVariant Get(IUnknown* object, const wchar_t* name) noexcept {
  ScopedVariant result;
  if (FAILED(Call(object, name, DISPATCH_PROPERTYGET, nullptr, 0, &result))) return ScopedVariant();
  return result;
}

// Item(index) of a collection, as an object.
ComPtr<IUnknown> ItemOf(IUnknown* collection, int index) noexcept {
  if (index < 0) return {};
  ScopedVariant arg = ScopedVariant::Int(index);
  ScopedVariant result;
  if (FAILED(Call(collection, L"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD, &arg, 1, &result))) return {};
  return result.TakeObject();
}

ComPtr<IUnknown> CreateRegExpObject() noexcept {
  CLSID clsid;
  if (FAILED(::CLSIDFromProgID(kProgId, &clsid))) return {};
  ComPtr<IUnknown> object;
  HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, object.put_void());
  if (hr == E_INVALIDARG)
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                            object.put_void());
  if (FAILED(hr) || !object) return {};
  ::OleRun(object.get());
  return object;
}

class VbMatches final : public IRegexMatches {
 public:
  explicit VbMatches(ComPtr<IUnknown> matches) noexcept : matches_(std::move(matches)) {}

  int Count() const noexcept override { return Get(matches_.get(), L"Count").ToInt(); }

  Text Value(int match) const noexcept override {
    ComPtr<IUnknown> item = ItemOf(matches_.get(), match);
    return item ? Get(item.get(), L"Value").ToText() : Text{};
  }

  int GroupCount(int match) const noexcept override {
    ComPtr<IUnknown> subMatches = SubMatches(match);
    return subMatches ? Get(subMatches.get(), L"Count").ToInt() : 0;
  }

  Text GroupValue(int match, int group) const noexcept override {
    ComPtr<IUnknown> subMatches = SubMatches(match);
    if (!subMatches || group < 0) return {};
    ScopedVariant arg = ScopedVariant::Int(group);
    ScopedVariant result;
    if (FAILED(Call(subMatches.get(), L"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD, &arg, 1, &result)))
      return {};
    return result.ToText();
  }

 private:
  ComPtr<IUnknown> SubMatches(int match) const noexcept {
    ComPtr<IUnknown> item = ItemOf(matches_.get(), match);
    if (!item) return {};
    return Get(item.get(), L"SubMatches").TakeObject();
  }

  ComPtr<IUnknown> matches_;
};

class VbPattern final : public IRegexPattern {
 public:
  explicit VbPattern(ComPtr<IUnknown> engine) noexcept : engine_(std::move(engine)) {}

  Text Pattern() const noexcept override { return Get(engine_.get(), L"Pattern").ToText(); }

  std::shared_ptr<const IRegexMatches> Execute(const Text& subject) const noexcept override {
    ScopedVariant arg = ScopedVariant::String(subject);
    ScopedVariant result;
    if (FAILED(Call(engine_.get(), L"Execute", DISPATCH_METHOD, &arg, 1, &result))) return nullptr;
    ComPtr<IUnknown> matches = result.TakeObject();
    if (!matches) return nullptr;
    try {
      return std::make_shared<VbMatches>(std::move(matches));
    } catch (...) {
      return nullptr;
    }
  }

  Text Replace(const Text& subject, const Text& replacement) const noexcept override {
    ScopedVariant args[2] = {ScopedVariant::String(subject), ScopedVariant::String(replacement)};
    ScopedVariant result;
    if (FAILED(Call(engine_.get(), L"Replace", DISPATCH_METHOD, args, 2, &result))) return {};
    return result.ToText();
  }

 private:
  ComPtr<IUnknown> engine_;
};

class VbEngine final : public IRegexEngine {
 public:
  bool PrepareThread() noexcept override { return SUCCEEDED(::CoInitialize(nullptr)); }
  void ReleaseThread() noexcept override { ::CoUninitialize(); }

  std::shared_ptr<const IRegexPattern> Create(const Text& pattern,
                                              const RegexOptions& options) noexcept override {
    ComPtr<IUnknown> engine = CreateRegExpObject();
    if (!engine) return nullptr;
    // A failed put leaves the object's own default; the Execute that follows still reports.
    (void)Put(engine.get(), L"IgnoreCase", ScopedVariant::Bool(options.ignoreCase));
    (void)Put(engine.get(), L"Multiline", ScopedVariant::Bool(options.multiline));
    (void)Put(engine.get(), L"Global", ScopedVariant::Bool(options.global));
    (void)Put(engine.get(), L"Pattern", ScopedVariant::String(pattern));
    try {
      return std::make_shared<VbPattern>(std::move(engine));
    } catch (...) {
      return nullptr;
    }
  }
};

}  // namespace

std::unique_ptr<IRegexEngine> MakeVbscriptRegexEngine() { return std::make_unique<VbEngine>(); }

bool VbscriptRegexAvailable() noexcept {
  ComInitGuard com;
  return static_cast<bool>(CreateRegExpObject());
}

std::unique_ptr<IRegexEngine> MakeRegexEngine() {
  // Windows is retiring VBScript: without the object the level label and the update check
  // would stay empty, so the built-in engine with the same dialect takes over.
  if (VbscriptRegexAvailable()) return MakeVbscriptRegexEngine();
  return MakeBuiltinRegexEngine();
}

}  // namespace zelv::win32
