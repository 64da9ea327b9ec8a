#include "artcontrol/platform/module.h"

#include <climits>
#include <cstdlib>
#include <utility>

#include <dlfcn.h>

namespace tilvo::platform {

LoadedModule::LoadedModule(const std::string& path) {
  // A bare name would be searched on the library path; a module is named by its path.
  if (path.empty() || path.find('/') == std::string::npos) return;
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

LoadedModule::~LoadedModule() {
  if (handle_ != nullptr) ::dlclose(handle_);
}

LoadedModule::LoadedModule(LoadedModule&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

LoadedModule& LoadedModule::operator=(LoadedModule&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) ::dlclose(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

void* LoadedModule::Symbol(const std::string& name) const {
  if (handle_ == nullptr) return nullptr;
  return ::dlsym(handle_, name.c_str());
}

std::string PathOfModuleContaining(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr || info.dli_fname[0] == '\0') return {};
  char* resolved = ::realpath(info.dli_fname, nullptr);
  if (resolved == nullptr) return {};
  std::string path(resolved);
  std::free(resolved);
  return path;
}

}  // namespace tilvo::platform
