#pragma once
// Creating the control the way a host on Windows would: from its ProgID
// "TILVO.TilvoCtrl.1" or its class id, through the per-user registration
// file, the module the file names and that module's class factory.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tilvo/server.h"
#include "tilvo/tilvo.h"

namespace tilvo {

namespace platform {
class LoadedModule;
}

// A control together with the module that made it, which stays loaded until
// the control is gone.
class ActivatedControl {
 public:
  ActivatedControl();
  // Holds a control that the host made itself (no module is kept).
  explicit ActivatedControl(std::unique_ptr<CTilvoCtrl> control);
  ~ActivatedControl();
  ActivatedControl(ActivatedControl&& other) noexcept;
  ActivatedControl& operator=(ActivatedControl&& other) noexcept;

  // The control, or null when there is none.
  CTilvoCtrl* get() const { return control_.get(); }
  CTilvoCtrl* operator->() const { return control_.get(); }
  explicit operator bool() const { return control_ != nullptr; }
  // Destroys the control, then lets its module go.
  void reset();

 private:
  friend HRESULT ActivateControl(std::string_view, TilvoSite&, ActivatedControl&, const std::optional<std::string>&,
                                 const std::string&);
  std::unique_ptr<platform::LoadedModule> module_;
  std::unique_ptr<CTilvoCtrl> control_;  // destroyed before the module
};

// Creates the control named by progIdOrClassId (a ProgID, or a class id as
// "{...}") on site, reading the registration file at registrationFile (empty:
// the per-user file of the environment). With clientDirectory the control
// uses that folder instead of the registry's. On success *control holds it
// and the result is S_OK; otherwise *control is empty and the result is
// CO_E_CLASSSTRING (neither a registered ProgID nor a class id),
// REGDB_E_CLASSNOTREG (no module registered for the class, or the file
// unreadable), E_MODULE_NOT_FOUND (the module does not load), CO_E_ERRORINDLL
// (it has no DllGetClassObject), or what its factory answered.
HRESULT ActivateControl(std::string_view progIdOrClassId, TilvoSite& site, ActivatedControl& control,
                        const std::optional<std::string>& clientDirectory = std::nullopt,
                        const std::string& registrationFile = {});

}  // namespace tilvo
