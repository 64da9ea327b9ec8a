#include "artcontrol/qt/tilvo_prop_page.h"

#include <QFontMetrics>
#include <QLabel>

#include "tilvo/identities.h"

namespace tilvo::qt {
namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Dialog units as a dialog measures them: a quarter of the font's average
// letter width across, an eighth of its height down, rounded as MulDiv does.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX_ = (metrics.horizontalAdvance(letters) + 26) / 52;
    baseY_ = metrics.height();
  }
  int X(int units) const { return (units * baseX_ + 2) / 4; }
  int Y(int units) const { return (units * baseY_ + 4) / 8; }

 private:
  int baseX_ = 0;
  int baseY_ = 0;
};

// A drop-down list's height is the list it drops; its own box is the font's.
constexpr int kLabelHeight = 8;

}  // namespace

CTilvoPropPage::CTilvoPropPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CTilvoPropPage"));
  QFont font(Text(kPropPageFontName));
  font.setPointSize(kPropPageFontPoints);
  font.setStyleHint(QFont::SansSerif);  // where that face is missing, the system's sans serif stands in
  setFont(font);

  const auto fields = PropPageFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const PageField& f = fields[i];
    auto* label = new QLabel(Text(f.label), this);
    label->setObjectName(QStringLiteral("label%1").arg(f.id));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QWidget* control = nullptr;
    if (f.kind == PageControlKind::kDropDownList) {
      artType_ = new QComboBox(this);
      for (std::string_view name : ArtTypeNames()) artType_->addItem(Text(name));
      artType_->setCurrentIndex(-1);
      artType_->setMaxVisibleItems(static_cast<int>(ArtTypeNames().size()));
      connect(artType_, &QComboBox::activated, this, [this, i](int index) {
        core_.SetValue(i, index);
        emit changed();
      });
      control = artType_;
    } else {
      auto* edit = new QLineEdit(QStringLiteral("0"), this);
      connect(edit, &QLineEdit::textEdited, this, [this, i] {
        typed_[i] = true;
        emit changed();
      });
      edits_[i] = edit;
      control = edit;
    }
    control->setObjectName(QString::number(f.id));
    label->setBuddy(control);
  }
  Place();
}

QString CTilvoPropPage::Caption() { return Text(kPageCaptionString); }

void CTilvoPropPage::Place() {
  const DialogUnits du(font());
  const auto fields = PropPageFields();
  for (const PageField& f : fields) {
    auto* label = findChild<QLabel*>(QStringLiteral("label%1").arg(f.id));
    label->setGeometry(du.X(f.labelX), du.Y(f.labelY), label->sizeHint().width(), du.Y(kLabelHeight));
    QWidget* control = ControlById(f.id);
    const int height = f.kind == PageControlKind::kDropDownList ? control->sizeHint().height() : du.Y(f.cy);
    control->setGeometry(du.X(f.x), du.Y(f.y), du.X(f.cx), height);
  }
  setFixedSize(du.X(kPropPageWidth), du.Y(kPropPageHeight));
}

bool CTilvoPropPage::LoadFrom(CTilvoCtrl& control) {
  if (core_.ReadFrom(control) != DispResult::kOk) return false;
  artType_->setCurrentIndex(core_.Value(0));
  for (std::size_t i = 1; i < edits_.size(); ++i) edits_[i]->setText(QString::number(core_.Value(i)));
  typed_ = {};
  return true;
}

bool CTilvoPropPage::ApplyTo(CTilvoCtrl& control, QString& error) {
  for (std::size_t i = 1; i < edits_.size(); ++i) {
    if (!typed_[i]) continue;
    std::int32_t value = 0;
    if (!ParsePageNumber(edits_[i]->text().toStdString(), value)) {
      error = Text(kNotANumberText);
      edits_[i]->setFocus();
      edits_[i]->selectAll();
      return false;
    }
    core_.SetValue(i, value);
    typed_[i] = false;
  }
  if (core_.WriteTo(control) != DispResult::kOk) {
    error = Text(kRefusedValueText);
    for (std::size_t i = 1; i < edits_.size(); ++i) {
      if (core_.IsChanged(i)) {
        typed_[i] = true;
        edits_[i]->setFocus();
        edits_[i]->selectAll();
        break;
      }
    }
    return false;
  }
  return true;
}

bool CTilvoPropPage::IsDirty() const {
  for (std::size_t i = 0; i < TilvoPropPageCore::kFieldCount; ++i) {
    if (typed_[i] || core_.IsChanged(i)) return true;
  }
  return false;
}

QWidget* CTilvoPropPage::ControlById(int id) const { return findChild<QWidget*>(QString::number(id)); }

}  // namespace tilvo::qt
