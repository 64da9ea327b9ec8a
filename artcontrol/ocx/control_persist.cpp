// The control's persisted state through its container's stream, storage or
// property bag. What is saved, in which order and with which defaults is the
// core's (persistence.h): the version 1.0, then ArtType, ArtIndex and
// ArtColor. A stream or storage holds the core's text form of those values,
// after its length as a 32-bit little-endian count, so that a container may
// keep other data after it in the same stream.
#include "artcontrol/ocx/control.h"

#include <string>

#include "artcontrol/ocx/automation_variant.h"
#include "artcontrol/platform/win32/wide_text.h"
#include "tilvo/persistence.h"

namespace tilvo::ocx {
namespace {

// The saved text is a few dozen bytes; a count beyond this is not one of ours.
constexpr ULONG kMaxSavedBytes = 64 * 1024;
constexpr wchar_t kStorageStream[] = L"Contents";

// The container's property bag as the core's.
class HostPropertyBag final : public PropertyBag {
 public:
  HostPropertyBag(IPropertyBag& bag, IErrorLog* log) : bag_(bag), log_(log) {}

  bool Read(std::string_view name, ArgType type, Variant& value) override {
    VARIANT v;
    ::VariantInit(&v);
    // The type asked for; a bag may give another, which is then converted.
    V_VT(&v) = VarTypeOf(type);
    const std::wstring wide = platform::Utf16FromUtf8(name);
    bool ok = SUCCEEDED(bag_.Read(wide.c_str(), &v, log_)) && FromVariant(v, type, value);
    ::VariantClear(&v);
    return ok;
  }
  bool Write(std::string_view name, const Variant& value) override {
    VARIANT v = ToVariant(value);
    const std::wstring wide = platform::Utf16FromUtf8(name);
    const bool ok = SUCCEEDED(bag_.Write(wide.c_str(), &v));
    ::VariantClear(&v);
    return ok;
  }

 private:
  IPropertyBag& bag_;
  IErrorLog* log_;
};

HRESULT ReadExactly(IStream& stream, void* data, ULONG size) {
  ULONG got = 0;
  const HRESULT hr = stream.Read(data, size, &got);
  if (FAILED(hr)) return hr;
  return got == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteExactly(IStream& stream, const void* data, ULONG size) {
  ULONG written = 0;
  const HRESULT hr = stream.Write(data, size, &written);
  if (FAILED(hr)) return hr;
  return written == size ? S_OK : STG_E_WRITEFAULT;
}

}  // namespace

HRESULT TilvoControl::LoadFromText(std::string_view text) {
  TextFilePropertyBag bag;
  bag.ParseText(text);
  LoadProperties(*core_, bag);
  return S_OK;
}

std::string TilvoControl::SaveAsText(bool clearDirty) {
  const bool modified = core_->IsModified();
  TextFilePropertyBag bag;
  (void)SaveProperties(*core_, bag);
  if (!clearDirty) core_->SetModifiedFlag(modified);
  return bag.Text();
}

STDMETHODIMP TilvoControl::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = CLSID_Tilvo;
  return S_OK;
}

STDMETHODIMP TilvoControl::IsDirty() { return core_->IsModified() ? S_OK : S_FALSE; }

STDMETHODIMP TilvoControl::InitNew() { return LoadFromText({}); }

STDMETHODIMP TilvoControl::Load(LPSTREAM stream) {
  if (stream == nullptr) return E_POINTER;
  BYTE count[4];
  HRESULT hr = ReadExactly(*stream, count, sizeof count);
  if (FAILED(hr)) return hr;
  const ULONG length = count[0] | count[1] << 8 | count[2] << 16 | static_cast<ULONG>(count[3]) << 24;
  if (length > kMaxSavedBytes) return STG_E_READFAULT;
  std::string text(length, '\0');
  hr = ReadExactly(*stream, text.data(), length);
  if (FAILED(hr)) return hr;
  return LoadFromText(text);
}

STDMETHODIMP TilvoControl::Save(LPSTREAM stream, BOOL clearDirty) {
  if (stream == nullptr) return E_POINTER;
  const std::string text = SaveAsText(clearDirty != FALSE);
  const auto length = static_cast<ULONG>(text.size());
  const BYTE count[4] = {static_cast<BYTE>(length), static_cast<BYTE>(length >> 8), static_cast<BYTE>(length >> 16),
                         static_cast<BYTE>(length >> 24)};
  const HRESULT hr = WriteExactly(*stream, count, sizeof count);
  return FAILED(hr) ? hr : WriteExactly(*stream, text.data(), length);
}

STDMETHODIMP TilvoControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  size->QuadPart = 4 + SaveAsText(false).size();
  return S_OK;
}

STDMETHODIMP TilvoControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (bag == nullptr) return E_POINTER;
  HostPropertyBag host(*bag, log);
  LoadProperties(*core_, host);
  return S_OK;
}

STDMETHODIMP TilvoControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (bag == nullptr) return E_POINTER;
  const bool modified = core_->IsModified();
  HostPropertyBag host(*bag, nullptr);
  if (SaveProperties(*core_, host) != 0) return E_FAIL;
  if (!clearDirty) core_->SetModifiedFlag(modified);
  return S_OK;
}

STDMETHODIMP TilvoControl::InitNew(IStorage* storage) {
  if (storage == nullptr) return E_POINTER;
  return InitNew();
}

STDMETHODIMP TilvoControl::Load(IStorage* storage) {
  if (storage == nullptr) return E_POINTER;
  IStream* stream = nullptr;
  HRESULT hr = storage->OpenStream(kStorageStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(hr)) return hr;
  hr = Load(stream);
  stream->Release();
  return hr;
}

STDMETHODIMP TilvoControl::Save(IStorage* storage, BOOL) {
  if (storage == nullptr) return E_POINTER;
  IStream* stream = nullptr;
  HRESULT hr =
      storage->CreateStream(kStorageStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
  if (FAILED(hr)) return hr;
  hr = Save(stream, TRUE);
  stream->Release();
  return hr;
}

STDMETHODIMP TilvoControl::SaveCompleted(IStorage*) { return S_OK; }

STDMETHODIMP TilvoControl::HandsOffStorage() { return S_OK; }

}  // namespace tilvo::ocx
