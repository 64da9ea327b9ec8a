// The control's state through a container's stream, storage and property
// bag: ArtType, ArtIndex and ArtColor come back, nothing else does, and the
// dirty flag follows saving as containers expect.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "com_host.h"

namespace tilvo::ocx::testing {
namespace {

// A property bag in memory, as a container keeps one.
class MemoryBag final : public IPropertyBag {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
      *object = static_cast<IPropertyBag*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    const auto found = values.find(name);
    if (found == values.end()) return E_INVALIDARG;
    ::VariantClear(value);
    return ::VariantCopy(value, const_cast<VARIANT*>(&*found->second));
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    Var copy;
    ::VariantCopy(copy.get(), value);
    values[name] = copy;
    return S_OK;
  }
  std::map<std::wstring, Var> values;
};

// A control with ArtType 2, ArtIndex 15 and ArtColor 33, and unsaved values besides.
ComPtr<IDispatch> ControlToSave() {
  ComPtr<IDispatch> control = CreateControl();
  PutProperty(control.Get(), L"ArtType", Var::I2(2));
  PutProperty(control.Get(), L"ArtIndex", Var::I4(15));
  PutProperty(control.Get(), L"ArtColor", Var::I2(33));
  PutProperty(control.Get(), L"xOffset", Var::I4(7));
  PutProperty(control.Get(), L"yOffset", Var::I4(-4));
  PutProperty(control.Get(), L"DrawFlags", Var::I2(0x70));
  PutProperty(control.Get(), L"BkColor", Var::I4(0), {Var::I4(0xFF)});
  return control;
}

// The three persisted values come back; the rest have their initial values.
void ExpectReloaded(IDispatch* control, const char* how) {
  const struct {
    const wchar_t* name;
    LONG value;
  } expected[] = {{L"ArtType", 2}, {L"ArtIndex", 15}, {L"ArtColor", 33}, {L"xOffset", 0}, {L"yOffset", 0},
                  {L"DrawFlags", 0}};
  for (const auto& e : expected) EXPECT_EQ(GetProperty(control, e.name).Long(), e.value) << how << " " << e.name;
  EXPECT_EQ(GetProperty(control, L"BkColor", {Var::I4(0)}).Long(), -1) << how;
}

ComPtr<IStream> NewStream() {
  ComPtr<IStream> stream;
  EXPECT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  return stream;
}

void Rewind(IStream* stream) {
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

TEST(Persistence, StreamStorageAndBagKeepTheThreePersistedProperties) {
  ComPtr<IDispatch> saved = ControlToSave();
  ComPtr<IPersistStreamInit> streamSaver;
  ComPtr<IPersistPropertyBag> bagSaver;
  ComPtr<IPersistStorage> storageSaver;
  ASSERT_EQ(saved.As(&streamSaver), S_OK);
  ASSERT_EQ(saved.As(&bagSaver), S_OK);
  ASSERT_EQ(saved.As(&storageSaver), S_OK);

  {
    ComPtr<IStream> stream = NewStream();
    ULARGE_INTEGER max{};
    ASSERT_EQ(streamSaver->GetSizeMax(&max), S_OK);
    ASSERT_EQ(streamSaver->Save(stream.Get(), TRUE), S_OK);
    ULARGE_INTEGER size{};
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_CUR, &size);
    EXPECT_LE(size.QuadPart, max.QuadPart);
    Rewind(stream.Get());
    ComPtr<IDispatch> loaded = CreateControl();
    ComPtr<IPersistStreamInit> loader;
    ASSERT_EQ(loaded.As(&loader), S_OK);
    ASSERT_EQ(loader->Load(stream.Get()), S_OK);
    ExpectReloaded(loaded.Get(), "stream");
    EXPECT_EQ(loader->IsDirty(), S_FALSE);
  }
  {
    MemoryBag bag;
    ASSERT_EQ(bagSaver->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.values[L"_Version"].Long(), 0x00010000);  // 1.0
    EXPECT_EQ(bag.values[L"ArtType"].type(), VT_I2);
    EXPECT_EQ(bag.values[L"ArtIndex"].type(), VT_I4);
    EXPECT_EQ(bag.values.count(L"xOffset"), 0u);
    ComPtr<IDispatch> loaded = CreateControl();
    ComPtr<IPersistPropertyBag> loader;
    ASSERT_EQ(loaded.As(&loader), S_OK);
    ASSERT_EQ(loader->Load(&bag, nullptr), S_OK);
    ExpectReloaded(loaded.Get(), "property bag");
  }
  {
    ComPtr<ILockBytes> bytes;
    ComPtr<IStorage> storage;
    ASSERT_EQ(::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
    ASSERT_EQ(::StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                             &storage),
              S_OK);
    ASSERT_EQ(storageSaver->Save(storage.Get(), FALSE), S_OK);
    ASSERT_EQ(storageSaver->SaveCompleted(nullptr), S_OK);
    ComPtr<IDispatch> loaded = CreateControl();
    ComPtr<IPersistStorage> loader;
    ASSERT_EQ(loaded.As(&loader), S_OK);
    ASSERT_EQ(loader->Load(storage.Get()), S_OK);
    ExpectReloaded(loaded.Get(), "storage");
  }
}

TEST(Persistence, BagValuesOfOtherTypesAreConvertedOrTakeTheirDefaults) {
  MemoryBag bag;
  bag.values[L"ArtIndex"] = Var::Text(L"15");     // converted
  bag.values[L"ArtType"] = Var::I4(70000);         // no 16-bit number: default
  bag.values[L"ArtColor"] = Var::Text(L"green");   // no number: default
  ComPtr<IDispatch> control = CreateControl();
  PutProperty(control.Get(), L"ArtType", Var::I2(5));
  ComPtr<IPersistPropertyBag> loader;
  ASSERT_EQ(control.As(&loader), S_OK);
  ASSERT_EQ(loader->Load(&bag, nullptr), S_OK);
  EXPECT_EQ(GetProperty(control.Get(), L"ArtIndex").Long(), 15);
  EXPECT_EQ(GetProperty(control.Get(), L"ArtType").Long(), 0);
  EXPECT_EQ(GetProperty(control.Get(), L"ArtColor").Long(), 0);
}

TEST(Persistence, AStreamHoldsExactlyWhatTheControlWroteAndRefusesDamage) {
  // Two controls saved one after the other into one stream load back in turn.
  ComPtr<IStream> stream = NewStream();
  ComPtr<IDispatch> first = ControlToSave();
  ComPtr<IDispatch> second = CreateControl();
  PutProperty(second.Get(), L"ArtIndex", Var::I4(99));
  for (IDispatch* control : {first.Get(), second.Get()}) {
    ComPtr<IPersistStreamInit> saver;
    ASSERT_EQ(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(saver.GetAddressOf())), S_OK);
    ASSERT_EQ(saver->Save(stream.Get(), TRUE), S_OK);
  }
  Rewind(stream.Get());
  for (LONG expected : {15, 99}) {
    ComPtr<IDispatch> loaded = CreateControl();
    ComPtr<IPersistStreamInit> loader;
    ASSERT_EQ(loaded.As(&loader), S_OK);
    ASSERT_EQ(loader->Load(stream.Get()), S_OK);
    EXPECT_EQ(GetProperty(loaded.Get(), L"ArtIndex").Long(), expected);
  }

  const struct {
    const char* name;
    std::string bytes;
  } damaged[] = {
      {"empty", ""},
      {"a count that the stream does not hold", std::string("\x10\0\0\0ArtIndex=5\n", 15)},
      {"a count beyond any saved state", std::string("\0\0\x10\0", 4) + std::string(64, 'x')},
  };
  for (const auto& d : damaged) {
    ComPtr<IStream> bad = NewStream();
    bad->Write(d.bytes.data(), static_cast<ULONG>(d.bytes.size()), nullptr);
    Rewind(bad.Get());
    ComPtr<IDispatch> control = CreateControl();
    PutProperty(control.Get(), L"ArtIndex", Var::I4(3));
    ComPtr<IPersistStreamInit> loader;
    ASSERT_EQ(control.As(&loader), S_OK);
    EXPECT_TRUE(FAILED(loader->Load(bad.Get()))) << d.name;
    EXPECT_EQ(GetProperty(control.Get(), L"ArtIndex").Long(), 3) << d.name;  // unchanged
  }
}

TEST(Persistence, DirtyUntilSavedWithClearingAndCleanAfterInitNew) {
  ComPtr<IDispatch> control = CreateControl();
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(control.As(&persist), S_OK);
  ASSERT_EQ(persist->InitNew(), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  PutProperty(control.Get(), L"ArtIndex", Var::I4(4));
  EXPECT_EQ(persist->IsDirty(), S_OK);
  ASSERT_EQ(persist->Save(NewStream().Get(), FALSE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  ASSERT_EQ(persist->Save(NewStream().Get(), TRUE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  CLSID clsid{};
  ASSERT_EQ(persist->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(::IsEqualCLSID(clsid, CLSID_Tilvo));
}

}  // namespace
}  // namespace tilvo::ocx::testing
