// The GUIDs that the type library's header declares, defined once for the module.
#include <initguid.h>

#include "artcontrol/ocx/tilvo_h.h"
