#pragma once
// Whether the module may be unloaded: it counts the objects it serves that
// are alive and the factory references and locks that hosts hold. One count
// for the whole module, as its unloading concerns the whole process.

namespace tilvo {

// Adds one to the module's use count (an object made, a factory held or locked).
void LockModule();
// Takes one off the module's use count.
void UnlockModule();
// True while anything counts.
bool ModuleInUse();

// Counts its owner as a live object of the module for as long as it lives.
class ModuleObject {
 public:
  ModuleObject() { LockModule(); }
  ~ModuleObject() { UnlockModule(); }
  ModuleObject(const ModuleObject&) : ModuleObject() {}
  ModuleObject& operator=(const ModuleObject&) { return *this; }
};

}  // namespace tilvo
