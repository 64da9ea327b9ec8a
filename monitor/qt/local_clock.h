// The moment of a console save, as the user's system writes dates and times.
#pragma once

#include "monitor/core/console_log.h"

namespace monitor {

// The current local date and time: the calendar date and the system's short
// date and time texts.
LocalStamp LocalNow();

}  // namespace monitor
