#include "monitor/qt/frm_about.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "monitor/qt/form_kit.h"

namespace monitor {
namespace {

// The paragraph wraps at about this many characters.
constexpr int kParagraphColumns = 46;

}  // namespace

frmAbout::frmAbout(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QString());

  auto* heading = new QLabel(QStringLiteral("About Gyrion Monitor"), this);
  heading->setFont(FormFont("Arial", 12, true, true));
  auto* release = new QLabel(QStringLiteral("Beta Release 3"), this);
  release->setFont(FormFont("Arial", 9.75, true));

  // The decorative shape: a sunken rule under the headings.
  auto* rule = new QFrame(this);
  rule->setObjectName(QStringLiteral("shpLine"));
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);

  auto* paragraph = new QLabel(
      QStringLiteral("Gyrion Monitor is a tool to either remotely monitor or control your "
                     "Gyrion game server through its remote console."),
      this);
  paragraph->setFont(FormFont("Verdana", 8.25));
  paragraph->setWordWrap(true);
  paragraph->setFixedWidth(paragraph->fontMetrics().averageCharWidth() * kParagraphColumns);

  auto* tsoc = new QLabel(QStringLiteral("TSOC: 30 Minutes."), this);
  tsoc->setObjectName(QStringLiteral("lblTSOC"));
  tsoc->setFont(FormFont("Verdana", 8.25));
  tsoc->setToolTip(QStringLiteral("Time Spent On Coding (TSOC)"));

  auto* cmdOk = new QPushButton(QStringLiteral("Okay."), this);
  cmdOk->setObjectName(QStringLiteral("cmdOk"));
  cmdOk->setDefault(true);
  connect(cmdOk, &QPushButton::clicked, this, &QDialog::close);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(tsoc);
  bottom->addStretch(1);
  bottom->addWidget(cmdOk);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(release);
  layout->addWidget(rule);
  layout->addWidget(paragraph);
  layout->addSpacing(paragraph->fontMetrics().height());
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace monitor
