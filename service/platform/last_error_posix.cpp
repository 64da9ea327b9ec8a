#include <cerrno>

#include "service/platform/last_error.h"

namespace platform {

void RecordSystemError() { SetLastError(errno); }

}  // namespace platform
