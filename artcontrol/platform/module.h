#pragma once
// Loading a shared library (a module) by path, finding its exported entry
// points, and finding which module holds a piece of code.

#include <cstdint>
#include <string>

namespace tilvo::platform {

// A module loaded for as long as the object lives.
class LoadedModule {
 public:
  LoadedModule() = default;
  // Loads the module at path; IsLoaded() says whether that worked.
  explicit LoadedModule(const std::string& path);
  ~LoadedModule();
  LoadedModule(LoadedModule&& other) noexcept;
  LoadedModule& operator=(LoadedModule&& other) noexcept;
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // True when the module is loaded.
  bool IsLoaded() const { return handle_ != nullptr; }
  // The address of the exported symbol, or null when the module has none by that name.
  void* Symbol(const std::string& name) const;

 private:
  void* handle_ = nullptr;
};

// The absolute path of the module whose code or data holds address, or empty when none does.
std::string PathOfModuleContaining(const void* address);

}  // namespace tilvo::platform
