#include "viewer_window.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "picture_file.h"
#include "tilvo/persistence.h"
#include "tilvo/prop_page.h"

namespace tilvo::viewer {
namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The DrawFlags bits a person switches; the facet bits are the control's own.
struct FlagBox {
  std::uint16_t bit;
  const char* label;
};
constexpr FlagBox kFlagBoxes[] = {
    {0x0001, "Backdrop"},
    {0x0010, "Land"},
    {0x0020, "Statics"},
    {0x0040, "Preview items"},
};

QSpinBox* NumberBox(int low, int high, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setAccelerated(true);
  return box;
}

}  // namespace

ViewerWindow::ViewerWindow(const ViewerOptions& options) {
  setObjectName(QStringLiteral("TilvoViewer"));
  setWindowTitle(QStringLiteral("Tilvo Viewer"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(BuildFields(central));
  view_ = new qt::TilvoWidget(central);
  view_->setObjectName(QStringLiteral("artView"));
  view_->installEventFilter(this);
  layout->addWidget(view_, 1);
  setCentralWidget(central);
  mouse_ = new QLabel(this);
  statusBar()->addPermanentWidget(mouse_);
  BuildMenus();

  connect(view_, &qt::TilvoWidget::propertiesApplied, this, &ViewerWindow::ShowProperties);
  connect(view_, &qt::TilvoWidget::mouseDown, this,
          [this](int b, int s, int x, int y) { ShowMouseEvent("MouseDown", b, s, x, y); });
  connect(view_, &qt::TilvoWidget::mouseMove, this,
          [this](int b, int s, int x, int y) { ShowMouseEvent("MouseMove", b, s, x, y); });
  connect(view_, &qt::TilvoWidget::mouseUp, this,
          [this](int b, int s, int x, int y) { ShowMouseEvent("MouseUp", b, s, x, y); });

  // The command line's values go into the fields before the control exists.
  showing_ = true;
  if (options.type) artType_->setCurrentIndex(*options.type);
  if (options.index) index_->setValue(*options.index);
  if (options.color) color_->setValue(*options.color);
  const std::uint16_t flags = options.flags ? static_cast<std::uint16_t>(*options.flags) : 0;
  for (std::size_t i = 0; i < flags_.size(); ++i) flags_[i]->setChecked((flags & kFlagBoxes[i].bit) != 0);
  showing_ = false;

  OpenClient(options.client ? QString::fromStdString(*options.client) : QString());
  if (options.properties) {
    QString error;
    if (!LoadPropertySet(QString::fromStdString(*options.properties), error)) statusBar()->showMessage(error);
  }
  view_->setFocus();
}

QWidget* ViewerWindow::BuildFields(QWidget* parent) {
  auto* fields = new QWidget(parent);
  auto* grid = new QGridLayout(fields);
  grid->setContentsMargins(0, 0, 0, 0);

  folder_ = new QLineEdit(fields);
  folder_->setObjectName(QStringLiteral("clientFolder"));
  folder_->setPlaceholderText(QStringLiteral("the client folder (none found in the registry sources)"));
  auto* browse = new QPushButton(QStringLiteral("Browse..."), fields);
  auto* open = new QPushButton(QStringLiteral("Open"), fields);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Client folder"), folder_->text());
    if (!chosen.isEmpty()) OpenClient(chosen);
  });
  connect(open, &QPushButton::clicked, this, [this] { OpenClient(folder_->text()); });
  connect(folder_, &QLineEdit::returnPressed, this, [this] { OpenClient(folder_->text()); });
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse);
  folderRow->addWidget(open);
  grid->addWidget(new QLabel(QStringLiteral("Client folder"), fields), 0, 0);
  grid->addLayout(folderRow, 0, 1, 1, 5);

  artType_ = new QComboBox(fields);
  artType_->setObjectName(QStringLiteral("artType"));
  for (std::string_view name : ArtTypeNames()) artType_->addItem(Text(name));
  index_ = NumberBox(0, std::numeric_limits<int>::max(), fields);
  index_->setObjectName(QStringLiteral("artIndex"));
  auto* previous = new QToolButton(fields);
  previous->setObjectName(QStringLiteral("previous"));
  previous->setArrowType(Qt::LeftArrow);
  previous->setToolTip(QStringLiteral("Previous index (Page Up)"));
  auto* next = new QToolButton(fields);
  next->setObjectName(QStringLiteral("next"));
  next->setArrowType(Qt::RightArrow);
  next->setToolTip(QStringLiteral("Next index (Page Down)"));
  connect(previous, &QToolButton::clicked, this, [this] { StepIndex(-1); });
  connect(next, &QToolButton::clicked, this, [this] { StepIndex(1); });
  color_ = NumberBox(0, std::numeric_limits<std::int16_t>::max(), fields);
  color_->setObjectName(QStringLiteral("artColor"));
  xOffset_ = NumberBox(-1000000, 1000000, fields);
  xOffset_->setObjectName(QStringLiteral("xOffset"));
  yOffset_ = NumberBox(-1000000, 1000000, fields);
  yOffset_->setObjectName(QStringLiteral("yOffset"));

  auto* indexRow = new QHBoxLayout;
  indexRow->addWidget(previous);
  indexRow->addWidget(index_, 1);
  indexRow->addWidget(next);
  grid->addWidget(new QLabel(QStringLiteral("Art type"), fields), 1, 0);
  grid->addWidget(artType_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Index"), fields), 1, 2);
  grid->addLayout(indexRow, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Colour"), fields), 1, 4);
  grid->addWidget(color_, 1, 5);
  grid->addWidget(new QLabel(QStringLiteral("X offset"), fields), 2, 0);
  grid->addWidget(xOffset_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("Y offset"), fields), 2, 2);
  grid->addWidget(yOffset_, 2, 3);
  auto* flagRow = new QHBoxLayout;
  for (std::size_t i = 0; i < flags_.size(); ++i) {
    flags_[i] = new QCheckBox(QString::fromLatin1(kFlagBoxes[i].label), fields);
    flagRow->addWidget(flags_[i]);
    connect(flags_[i], &QCheckBox::toggled, this, [this] {
      if (!showing_ && Control() != nullptr) Control()->SetDrawFlags(FlagsFromBoxes());
    });
  }
  flagRow->addStretch(1);
  grid->addLayout(flagRow, 2, 4, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  grid->setColumnStretch(5, 1);

  connect(artType_, &QComboBox::currentIndexChanged, this, [this](int type) {
    if (!showing_ && Control() != nullptr && type >= 0) Control()->SetArtType(static_cast<std::int16_t>(type));
  });
  connect(index_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!showing_ && Control() != nullptr) Control()->SetArtIndex(value);
  });
  connect(color_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!showing_ && Control() != nullptr) Control()->SetArtColor(static_cast<std::int16_t>(value));
  });
  auto offsets = [this] {
    if (!showing_ && Control() != nullptr) Control()->SetOffset(xOffset_->value(), yOffset_->value());
  };
  connect(xOffset_, &QSpinBox::valueChanged, this, offsets);
  connect(yOffset_, &QSpinBox::valueChanged, this, offsets);
  return fields;
}

void ViewerWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open client folder..."), this, [this] {
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Client folder"), folder_->text());
    if (!chosen.isEmpty()) OpenClient(chosen);
  });
  file->addAction(QStringLiteral("&Export picture..."), QKeySequence(QStringLiteral("Ctrl+E")), this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export picture"), QString(),
                                                      QStringLiteral("PNG pictures (*.png)"));
    QString error;
    if (!path.isEmpty() && !ExportPicture(path, error)) QMessageBox::warning(this, windowTitle(), error);
  });
  file->addSeparator();
  file->addAction(QStringLiteral("&Save properties..."), QKeySequence::Save, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save properties"));
    QString error;
    if (!path.isEmpty() && !SavePropertySet(path, error)) QMessageBox::warning(this, windowTitle(), error);
  });
  file->addAction(QStringLiteral("&Load properties..."), QKeySequence::Open, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Load properties"));
    QString error;
    if (!path.isEmpty() && !LoadPropertySet(path, error)) QMessageBox::warning(this, windowTitle(), error);
  });
  file->addAction(QStringLiteral("&Reset properties"), this, [this] {
    if (Control() == nullptr) return;
    ResetProperties(*Control());
    ShowProperties();
  });
  file->addSeparator();
  file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);
  // The control's own verbs, as a container lists them.
  QMenu* control = menuBar()->addMenu(QStringLiteral("&Control"));
  control->addActions(view_->VerbActions());
  control->addSeparator();
  control->addAction(QStringLiteral("&Redraw"), this, [this] {
    if (Control() != nullptr) Control()->RedrawControl();
  });
}

HRESULT ViewerWindow::OpenClient(const QString& folder) {
  std::optional<std::string> client;
  if (!folder.trimmed().isEmpty()) client = folder.trimmed().toStdString();
  HRESULT result = view_->Activate(kProgId, client);
  if (result == S_OK) {
    statusBar()->showMessage(QStringLiteral("Control created through %1").arg(QString::fromLatin1(kProgId)));
  } else {
    // Unregistered, the viewer still works on the control it is linked with.
    view_->CreateControl(client);
    statusBar()->showMessage(
        QStringLiteral("%1 is not registered (0x%2): using the control linked into the viewer; tilvo-regsvr registers it")
            .arg(QString::fromLatin1(kProgId))
            .arg(static_cast<std::uint32_t>(result), 8, 16, QLatin1Char('0')));
  }
  folder_->setText(QString::fromStdString(Control()->GetMulPath()));
  ApplyFields();
  return result;
}

void ViewerWindow::ApplyFields() {
  CTilvoCtrl* control = Control();
  if (control == nullptr) return;
  control->SetObject(static_cast<std::int16_t>(std::max(artType_->currentIndex(), 0)), index_->value());
  control->SetArtColor(static_cast<std::int16_t>(color_->value()));
  control->SetOffset(xOffset_->value(), yOffset_->value());
  control->SetDrawFlags(FlagsFromBoxes());
}

void ViewerWindow::ShowProperties() {
  CTilvoCtrl* control = Control();
  if (control == nullptr) return;
  showing_ = true;
  const std::int16_t type = control->GetArtType();
  // NPCs of the second and third set (9, 10) show as NPCs.
  artType_->setCurrentIndex(type == 9 || type == 10 ? 1 : type);
  index_->setValue(control->GetArtIndex());
  color_->setValue(control->GetArtColor());
  xOffset_->setValue(control->GetxOffset());
  yOffset_->setValue(control->GetyOffset());
  const auto flags = static_cast<std::uint16_t>(control->GetDrawFlags());
  for (std::size_t i = 0; i < flags_.size(); ++i) flags_[i]->setChecked((flags & kFlagBoxes[i].bit) != 0);
  showing_ = false;
}

std::int16_t ViewerWindow::FlagsFromBoxes() const {
  // The facet bits stay as the control has them.
  std::uint16_t flags = Control() != nullptr ? static_cast<std::uint16_t>(Control()->GetDrawFlags()) : 0;
  for (std::size_t i = 0; i < flags_.size(); ++i) {
    flags = static_cast<std::uint16_t>(flags_[i]->isChecked() ? (flags | kFlagBoxes[i].bit) : (flags & ~kFlagBoxes[i].bit));
  }
  return static_cast<std::int16_t>(flags);
}

void ViewerWindow::StepIndex(int delta) {
  const long long next = static_cast<long long>(index_->value()) + delta;
  index_->setValue(static_cast<int>(std::clamp<long long>(next, 0, index_->maximum())));
}

void ViewerWindow::ScrollBy(int dx, int dy) {
  if (Control() == nullptr) return;
  Control()->Scroll(dx, dy);
  ShowProperties();
}

bool ViewerWindow::ExportPicture(const QString& path, QString& error) {
  if (Control() == nullptr || Control()->Picture().w <= 0 || Control()->Picture().h <= 0) {
    error = QStringLiteral("There is no picture to export yet.");
    return false;
  }
  std::string reason;
  std::string file = path.toStdString();
  if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) file += ".png";
  if (!render_tool::WritePicture(Control()->Picture(), file, reason)) {
    error = QString::fromStdString(reason);
    return false;
  }
  return true;
}

bool ViewerWindow::SavePropertySet(const QString& path, QString& error) {
  if (Control() == nullptr) return false;
  TextFilePropertyBag bag;
  if (SaveProperties(*Control(), bag) != 0 || bag.SaveFile(path.toStdString()) != TextFilePropertyBag::kOk) {
    error = QStringLiteral("The properties could not be saved to %1.").arg(path);
    return false;
  }
  statusBar()->showMessage(QStringLiteral("Properties saved to %1").arg(path));
  return true;
}

bool ViewerWindow::LoadPropertySet(const QString& path, QString& error) {
  if (Control() == nullptr) return false;
  TextFilePropertyBag bag;
  if (bag.LoadFile(path.toStdString()) != TextFilePropertyBag::kOk) {
    error = QStringLiteral("The properties could not be read from %1.").arg(path);
    return false;
  }
  LoadProperties(*Control(), bag);
  ShowProperties();
  statusBar()->showMessage(QStringLiteral("Properties loaded from %1").arg(path));
  return true;
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != view_ || event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const int step = key->modifiers().testFlag(Qt::ShiftModifier) ? kShiftScrollStep : kScrollStep;
  // The arrows move the view over the art, so the picture moves the other way.
  switch (key->key()) {
    case Qt::Key_Left:
      ScrollBy(step, 0);
      return true;
    case Qt::Key_Right:
      ScrollBy(-step, 0);
      return true;
    case Qt::Key_Up:
      ScrollBy(0, step);
      return true;
    case Qt::Key_Down:
      ScrollBy(0, -step);
      return true;
    case Qt::Key_PageUp:
      StepIndex(-1);
      return true;
    case Qt::Key_PageDown:
      StepIndex(1);
      return true;
    default:
      return QMainWindow::eventFilter(watched, event);
  }
}

void ViewerWindow::ShowMouseEvent(const char* name, int button, int shift, int x, int y) {
  mouse_->setText(QStringLiteral("%1 Button=%2 Shift=%3 x=%4 y=%5")
                      .arg(QString::fromLatin1(name))
                      .arg(button)
                      .arg(shift)
                      .arg(x)
                      .arg(y));
}

}  // namespace tilvo::viewer
