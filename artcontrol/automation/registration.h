#pragma once
// Self-registration: what DllRegisterServer writes into the class registry
// and what DllUnregisterServer takes out of it, over a store that holds the
// registry's text (the per-user registration file, or a test's stand-in).

#include <string>

#include "tilvo/server.h"

namespace tilvo {

// Where the class registry's text is kept.
class RegistrationStore {
 public:
  virtual ~RegistrationStore() = default;
  // The stored text; true with empty text when nothing is stored yet, false when it cannot be read.
  virtual bool Load(std::string& text) = 0;
  // Replaces the stored text; false when it cannot be written.
  virtual bool Save(const std::string& text) = 0;
};

// The registration file at path (the folder is created on the first save).
class FileRegistrationStore : public RegistrationStore {
 public:
  explicit FileRegistrationStore(std::string path) : path_(std::move(path)) {}
  bool Load(std::string& text) override;
  bool Save(const std::string& text) override;

 private:
  std::string path_;
};

// The file's name inside "$XDG_DATA_HOME/tilvo/".
inline constexpr const char* kRegistrationFileName = "registration.ini";

// The registration file for these environment values: under XDG_DATA_HOME
// when it is an absolute path, else under HOME's ".local/share"; empty when
// neither gives a folder.
std::string RegistrationFilePath(const std::string& xdgDataHome, const std::string& home);
// As above, from this process's environment.
std::string RegistrationFilePath();

// Registers the type library and then both classes, naming modulePath as
// their server: S_OK; SELFREG_E_TYPELIB when the store cannot be read or the
// type library not saved; SELFREG_E_CLASS when the classes cannot be saved.
HRESULT RegisterServer(RegistrationStore& store, const std::string& modulePath);
// Unregisters the type library version 1.0 and then both classes, the
// control's category marks first: S_OK (also when nothing was registered);
// SELFREG_E_TYPELIB or SELFREG_E_CLASS when that step's change cannot be
// read or saved.
HRESULT UnregisterServer(RegistrationStore& store);

}  // namespace tilvo
