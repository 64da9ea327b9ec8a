#pragma once
// The control's one connection point, for its event interface
// _DTilvoEvents: sinks connect and disconnect, and the control fires its
// events to all of them. It lives inside the control and shares its
// reference count.

#include <span>
#include <vector>

#include <windows.h>
#include <ocidl.h>

namespace tilvo::ocx {

class EventConnectionPoint final : public IConnectionPoint {
 public:
  // The point of container, for the event interface iid.
  EventConnectionPoint(IConnectionPointContainer& container, REFIID iid);
  ~EventConnectionPoint();
  EventConnectionPoint(const EventConnectionPoint&) = delete;
  EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

  // Calls event dispid with args (in declaration order) on every sink
  // connected now. An event that no sink hears is dropped, unless keep is
  // true: then the first sink to connect receives it as it connects.
  void Fire(DISPID dispid, std::span<const VARIANT> args, bool keep = false);
  // Lets every sink go.
  void DisconnectAll();

  // IUnknown, counted by the container.
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  struct Sink {
    DWORD cookie;
    IDispatch* dispatch;  // counted
  };
  struct KeptEvent {
    DISPID dispid;
    std::vector<VARIANT> args;
  };
  void Call(IDispatch* sink, DISPID dispid, std::span<const VARIANT> args);

  IConnectionPointContainer& container_;
  IID iid_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
  std::vector<KeptEvent> kept_;
};

}  // namespace tilvo::ocx
