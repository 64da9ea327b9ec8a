// What the three forms share: the fonts they name and the message boxes the
// handlers ask for.
#pragma once

#include <QWidget>

#include "monitor/core/monitor_controller.h"

namespace monitor {

// Shows `box` over `owner` and returns when the user has closed it. Every box
// blocks the monitor's windows; a system-modal one also stays above every
// other window.
void ShowMessageBox(QWidget* owner, const MessageBoxRequest& box);

// The font `family` at `points`, as the forms name their fonts; the system
// substitutes a near face where the family is not installed.
QFont FormFont(const char* family, double points, bool bold = false, bool italic = false);

}  // namespace monitor
