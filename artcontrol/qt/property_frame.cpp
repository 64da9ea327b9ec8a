#include "artcontrol/qt/property_frame.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "artcontrol/qt/tilvo_prop_page.h"
#include "artcontrol/qt/tilvo_widget.h"
#include "tilvo/identities.h"

namespace tilvo::qt {

PropertyFrame::PropertyFrame(TilvoWidget* widget) : QDialog(widget), widget_(widget) {
  setObjectName(QStringLiteral("PropertyFrame"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromUtf8(kTypeNameString.data(), static_cast<qsizetype>(kTypeNameString.size())) +
                 QStringLiteral(" Properties"));
  auto* tabs = new QTabWidget(this);
  page_ = new CTilvoPropPage(tabs);
  tabs->addTab(page_, CTilvoPropPage::Caption());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  apply_ = buttons->button(QDialogButtonBox::Apply);
  apply_->setEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(page_, &CTilvoPropPage::changed, this, [this] { apply_->setEnabled(true); });
  connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (Apply()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (widget_ && widget_->Control() != nullptr) page_->LoadFrom(*widget_->Control());
}

bool PropertyFrame::Apply() {
  if (!widget_ || widget_->Control() == nullptr) return false;
  QString error;
  if (!page_->ApplyTo(*widget_->Control(), error)) {
    // Shown without blocking: the frame stays usable behind it.
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), error, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return false;
  }
  apply_->setEnabled(page_->IsDirty());
  emit applied();
  return true;
}

}  // namespace tilvo::qt
