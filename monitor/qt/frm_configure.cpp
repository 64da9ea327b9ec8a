#include "monitor/qt/frm_configure.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "monitor/qt/form_kit.h"

namespace monitor {
namespace {

// Host names run long; the boxes show this many characters at once.
constexpr int kBoxColumns = 32;

QLineEdit* SettingBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setFont(FormFont("Verdana", 8.25));
  box->setMinimumWidth(box->fontMetrics().averageCharWidth() * kBoxColumns);
  return box;
}

}  // namespace

frmConfigure::frmConfigure(MonitorController& controller, QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmConfigure"));
  setWindowTitle(QString());

  auto* heading = new QLabel(QStringLiteral("Gyrion Monitor Configuration"), this);
  heading->setFont(FormFont("Arial", 12, true, true));

  txtHost_ = SettingBox(this, "txtHost");
  txtPort_ = SettingBox(this, "txtPort");
  auto* host_label = new QLabel(QStringLiteral("Remote Host:"), this);
  auto* port_label = new QLabel(QStringLiteral("Port:"), this);
  host_label->setFont(FormFont("Verdana", 8.25));
  port_label->setFont(FormFont("Verdana", 8.25));
  host_label->setBuddy(txtHost_);
  port_label->setBuddy(txtPort_);

  auto* cmdOk = new QPushButton(QStringLiteral("Ok"), this);
  cmdOk->setObjectName(QStringLiteral("cmdOk"));
  cmdOk->setDefault(true);
  auto* cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

  auto* boxes = new QGridLayout;
  boxes->addWidget(host_label, 0, 0);
  boxes->addWidget(txtHost_, 0, 1);
  boxes->addWidget(port_label, 1, 0);
  boxes->addWidget(txtPort_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addSpacing(heading->fontMetrics().height() / 2);
  layout->addLayout(boxes);
  layout->addSpacing(heading->fontMetrics().height() / 2);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cmdOk, &QPushButton::clicked, this,
          [this, &controller] { controller.frmConfigure_cmdOk_Click(*this); });
  connect(cmdCancel, &QPushButton::clicked, this,
          [this, &controller] { controller.frmConfigure_cmdCancel_Click(*this); });
}

std::string frmConfigure::HostText() const { return txtHost_->text().toStdString(); }

std::string frmConfigure::PortText() const { return txtPort_->text().toStdString(); }

void frmConfigure::SetHostText(const std::string& text) {
  txtHost_->setText(QString::fromStdString(text));
}

void frmConfigure::SetPortText(const std::string& text) {
  txtPort_->setText(QString::fromStdString(text));
}

void frmConfigure::ShowMessage(const MessageBoxRequest& box) { ShowMessageBox(this, box); }

void frmConfigure::Close() { close(); }

}  // namespace monitor
