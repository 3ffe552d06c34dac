#pragma once

#include <QFont>
#include <QWidget>

class QLabel;

namespace vell {

class HyperlinkLabel;

// The About page: the product title, the version, the notices and a link to
// the maker's web page.
class AboutPage : public QWidget {
  Q_OBJECT

 public:
  explicit AboutPage(QWidget* parent = nullptr);
  ~AboutPage() override;

  static QSize TemplateSize(const QFont& dialogFont);
  // The maker's web page and support address, fixed when the program is built.
  static QString MakerAddress();
  static QString SupportAddress();

  HyperlinkLabel* link() const { return link_; }
  QLabel* titleLabel() const { return titleLabel_; }

 private:
  void CreateControls();
  void OnInitDialog();

  HyperlinkLabel* link_ = nullptr;
  QLabel* titleLabel_ = nullptr;
};

}  // namespace vell
