#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

namespace vell {

// A label that works as a web link: underlined text in link colours, a
// pointing-hand cursor, the address as its tooltip, another colour while the
// cursor is over it. A click opens the address with the desktop, falling
// back to the default web browser; a failure beeps and says why. Tab
// reaches it, and Enter or Space opens it as a click does. On a light
// background it keeps the classic link colours; on a dark one it takes the
// palette's, lightened where they would be hard to read.
//
// Give it its text, geometry and alignment, then call Attach() once;
// SetTarget() may follow. Fitting to the text keeps the edge or centre the
// alignment names: left, right or horizontal centre, and top or vertical
// centre.
class HyperlinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit HyperlinkLabel(const QString& text = QString(), QWidget* parent = nullptr);
  ~HyperlinkLabel() override;

  // Set before Attach().
  void SetUnderline(bool underline) { underline_ = underline; }
  void SetSizeToText(bool sizeToText) { sizeToText_ = sizeToText; }

  // Takes over the label: an empty target becomes the text and an empty
  // text the target; underlines the font, fits, sets cursor and tooltip.
  void Attach();
  void SetTarget(const QString& address);
  void MarkVisited(bool flag);
  // Shrinks the label to its text, keeping the edges its alignment holds.
  void FitToText();

  QString target() const { return target_; }
  bool hovering() const { return hovering_; }
  bool visited() const { return visited_; }
  bool attached() const { return attached_; }
  QColor linkColour() const { return linkColour_; }
  QColor visitedColour() const { return visitedColour_; }
  QColor hoverColour() const { return hoverColour_; }
  // Text colour for the present state.
  QColor CurrentColour() const;

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void TakeColoursFromPalette();
  void SetHovering(bool hovering);
  void Open();

  QColor linkColour_ = QColor(0, 0, 238);
  QColor visitedColour_ = QColor(85, 26, 139);
  QColor hoverColour_;  // the palette's highlight colour
  bool underline_ = true;
  bool sizeToText_ = true;
  bool hovering_ = false;
  bool visited_ = false;
  bool attached_ = false;
  bool pressed_ = false;
  QString target_;
};

}  // namespace vell
