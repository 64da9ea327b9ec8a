#include "artcontrol/ocx/connection_point.h"

#include <olectl.h>
#include <wrl/client.h>

#include "artcontrol/ocx/enumerator.h"

namespace tilvo::ocx {
namespace {

struct Connection {
  Microsoft::WRL::ComPtr<IUnknown> sink;
  DWORD cookie;
};

void ProduceConnection(const Connection& stored, CONNECTDATA* item) {
  item->pUnk = stored.sink.Get();
  item->pUnk->AddRef();
  item->dwCookie = stored.cookie;
}

}  // namespace

EventConnectionPoint::EventConnectionPoint(IConnectionPointContainer& container, REFIID iid)
    : container_(container), iid_(iid) {}

EventConnectionPoint::~EventConnectionPoint() {
  DisconnectAll();
  for (KeptEvent& event : kept_) {
    for (VARIANT& arg : event.args) ::VariantClear(&arg);
  }
}

void EventConnectionPoint::DisconnectAll() {
  std::vector<Sink> sinks;
  sinks.swap(sinks_);
  for (const Sink& sink : sinks) sink.dispatch->Release();
}

void EventConnectionPoint::Call(IDispatch* sink, DISPID dispid, std::span<const VARIANT> args) {
  // DISPPARAMS hold the arguments last first.
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  // What a sink answers does not concern the control.
  (void)sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

void EventConnectionPoint::Fire(DISPID dispid, std::span<const VARIANT> args, bool keep) {
  if (sinks_.empty()) {
    if (keep) {
      KeptEvent event{dispid, std::vector<VARIANT>(args.size())};
      for (std::size_t i = 0; i < args.size(); ++i) {
        ::VariantInit(&event.args[i]);
        ::VariantCopy(&event.args[i], const_cast<VARIANT*>(&args[i]));
      }
      kept_.push_back(std::move(event));
    }
    return;
  }
  // A sink may disconnect itself or others while it is called: call a counted copy of the list.
  std::vector<IDispatch*> sinks;
  for (const Sink& sink : sinks_) {
    sink.dispatch->AddRef();
    sinks.push_back(sink.dispatch);
  }
  for (IDispatch* sink : sinks) {
    Call(sink, dispid, args);
    sink->Release();
  }
}

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid != IID_IUnknown && riid != IID_IConnectionPoint) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) EventConnectionPoint::AddRef() { return container_.AddRef(); }

STDMETHODIMP_(ULONG) EventConnectionPoint::Release() { return container_.Release(); }

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  // A sink is called through its dispatch interface; one that answers only
  // IDispatch (as script hosts' sinks do) is taken too.
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_.push_back({*cookie, dispatch});
  std::vector<KeptEvent> kept;
  kept.swap(kept_);
  for (KeptEvent& event : kept) {
    Call(dispatch, event.dispid, event.args);
    for (VARIANT& arg : event.args) ::VariantClear(&arg);
  }
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      IDispatch* dispatch = it->dispatch;
      sinks_.erase(it);
      dispatch->Release();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections == nullptr) return E_POINTER;
  std::vector<Connection> list;
  for (const Sink& sink : sinks_) list.push_back({sink.dispatch, sink.cookie});
  *connections = Enumerator<IEnumConnections, CONNECTDATA, Connection>::Create(IID_IEnumConnections,
                                                                               std::move(list), ProduceConnection);
  return S_OK;
}

}  // namespace tilvo::ocx
