#pragma once
// A COM enumerator (IEnumConnectionPoints, IEnumConnections, IEnumOLEVERB
// and their kind): Next, Skip, Reset and Clone over a list that is copied
// once and shared by the clones. Each item handed out is the caller's: a
// counted interface, or text from CoTaskMemAlloc.

#include <memory>
#include <vector>

#include <windows.h>
#include <unknwn.h>

#include "artcontrol/automation/module_state.h"

namespace tilvo::ocx {

// Interface is the IEnumXxx, Item what its Next fills, Stored what the list
// holds; produce fills one Item from one Stored.
template <class Interface, class Item, class Stored>
class Enumerator final : public Interface {
 public:
  using Produce = void (*)(const Stored& stored, Item* item);

  // A new enumerator for iid (counted once, for the caller) at the start of items.
  static Interface* Create(REFIID iid, std::vector<Stored> items, Produce produce) {
    return new Enumerator(iid, std::make_shared<const std::vector<Stored>>(std::move(items)), produce, 0);
  }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid != IID_IUnknown && riid != iid_) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP Next(ULONG count, Item* items, ULONG* fetched) override {
    if (items == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
    ULONG done = 0;
    for (; done < count && at_ < items_->size(); ++done, ++at_) produce_((*items_)[at_], &items[done]);
    if (fetched != nullptr) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const std::size_t left = items_->size() - at_;
    at_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    at_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Interface** copy) override {
    if (copy == nullptr) return E_POINTER;
    *copy = new Enumerator(iid_, items_, produce_, at_);
    return S_OK;
  }

 private:
  Enumerator(REFIID iid, std::shared_ptr<const std::vector<Stored>> items, Produce produce, std::size_t at)
      : iid_(iid), items_(std::move(items)), produce_(produce), at_(at) {}
  ~Enumerator() = default;

  LONG references_ = 1;
  ModuleObject moduleObject_;
  IID iid_;
  std::shared_ptr<const std::vector<Stored>> items_;
  Produce produce_;
  std::size_t at_;
};

}  // namespace tilvo::ocx
