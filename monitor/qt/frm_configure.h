// The configure dialog `frmConfigure`: host and port boxes, Ok and Cancel.
#pragma once

#include <QDialog>

#include "monitor/core/monitor_controller.h"

class QLineEdit;

namespace monitor {

class frmConfigure : public QDialog, public ConfigureView {
 public:
  // A dialog owned by `owner` whose buttons go to `controller`.
  frmConfigure(MonitorController& controller, QWidget* owner);

  std::string HostText() const override;
  std::string PortText() const override;
  void SetHostText(const std::string& text) override;
  void SetPortText(const std::string& text) override;
  void ShowMessage(const MessageBoxRequest& box) override;
  void Close() override;

 private:
  QLineEdit* txtHost_ = nullptr;
  QLineEdit* txtPort_ = nullptr;
};

}  // namespace monitor
