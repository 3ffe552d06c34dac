#include "app/about_page.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

#include "app/app_texts.h"
#include "app/dialog_units.h"
#include "components/hyperlink_label.h"

namespace vell {

#ifndef VELL_MAKER_URL
#define VELL_MAKER_URL "https://quorvant.example/"
#endif
#ifndef VELL_SUPPORT_EMAIL
#define VELL_SUPPORT_EMAIL "support@quorvant.example"
#endif

namespace {

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;

}  // namespace

AboutPage::AboutPage(QWidget* parent) : QWidget(parent) {
  CreateControls();
  OnInitDialog();
}

AboutPage::~AboutPage() = default;

QSize AboutPage::TemplateSize(const QFont& dialogFont) {
  const vell::DialogUnits units(dialogFont);
  return QSize(units.X(237), units.Y(162));
}

QString AboutPage::MakerAddress() { return QStringLiteral(VELL_MAKER_URL); }
QString AboutPage::SupportAddress() { return QStringLiteral(VELL_SUPPORT_EMAIL); }

void AboutPage::CreateControls() {
  setWindowTitle(texts::Text(texts::kAboutPage));
  setAccessibleName(texts::Text(texts::kAboutPage));
  const vell::DialogUnits units(font());
  setMinimumSize(TemplateSize(font()));

  const auto label = [&](const QString& text, QRect rect) {
    auto* control = new QLabel(text, this);
    control->setAlignment(kCentred);
    control->setWordWrap(true);
    control->setGeometry(rect);
    control->setAccessibleName(text);
    return control;
  };

  auto* frame = new QGroupBox(this);
  frame->setGeometry(units.Rect(14, 5, 208, 93));
  frame->setAccessibleName(texts::Text(texts::kAboutPage));

  titleLabel_ = label(texts::Text(texts::kProgram), units.Rect(23, 16, 189, 16));
  titleLabel_->setWordWrap(false);

  link_ = new HyperlinkLabel(texts::Text(texts::kLink), this);
  link_->setAlignment(kCentred);
  link_->setGeometry(units.Rect(23, 107, 189, 10));
  link_->setAccessibleName(link_->text());

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(units.Rect(23, 34, 188, 1).adjusted(0, 0, 0, 1));
  line->setAccessibleName(texts::Text(texts::kSeparator));

  label(texts::Text(texts::kVersionLine).arg(QStringLiteral(VELL_VERSION)), units.Rect(23, 37, 189, 9));
  // The legal notice and the rights notice fill the framed space below the version.
  label(texts::Text(texts::kLicence), units.Rect(23, 52, 189, 18));
  label(texts::Text(texts::kCopyright), units.Rect(23, 74, 189, 18));
  label(texts::Text(texts::kReportFaults).arg(SupportAddress()), units.Rect(23, 142, 189, 10));
}

void AboutPage::OnInitDialog() {
  link_->Attach();
  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(20);
  titleFont.setWeight(QFont::Bold);
  titleLabel_->setFont(titleFont);
  link_->SetTarget(MakerAddress());
}

}  // namespace vell
