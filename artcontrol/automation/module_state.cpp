#include "artcontrol/automation/module_state.h"

#include <atomic>

namespace tilvo {
namespace {

// Objects alive, plus factory references and locks held by hosts. Hosts may
// release on any thread, so the count is atomic although the objects are not.
std::atomic<long> g_moduleUses{0};

}  // namespace

void LockModule() { ++g_moduleUses; }

void UnlockModule() { --g_moduleUses; }

bool ModuleInUse() { return g_moduleUses.load() > 0; }

}  // namespace tilvo
