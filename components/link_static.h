#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

#include "platform/open_document.h"

// A label that works as a web link: underlined text in link colours, a
// pointing-hand cursor, the address as its tooltip, another colour while the
// cursor is over it. A click opens the address with the desktop, falling
// back to the default web browser; a failure beeps and says why.
//
// Give it its text, geometry and alignment (AlignHCenter, AlignRight and
// AlignVCenter position the fitted text like the centring styles of a static
// control), then call Attach() once; SetTarget() may follow.
class CLinkStatic : public QLabel {
  Q_OBJECT

 public:
  explicit CLinkStatic(const QString& text = QString(), QWidget* parent = nullptr);
  ~CLinkStatic() override;

  QColor linkColour = QColor(0, 0, 238);
  QColor visitedColour = QColor(85, 26, 139);
  QColor hoverColour;  // the palette's highlight colour at construction
  bool underline = true;
  bool sizeToText = true;

  // Takes over the label: an empty target becomes the text and an empty
  // text the target; underlines the font, fits, sets cursor and tooltip.
  void Attach();
  void SetTarget(const QString& address);
  void MarkVisited(bool flag);
  void FitToText();
  void LoadHandCursor();

  // Opens address, falling back to the default text/html application.
  static vell::platform::OpenResult OpenTarget(const QString& address);
  // Shows the failure message for result.
  static void ShowOpenError(vell::platform::OpenResult result);
  // "Unable to open hyperlink:", an empty line, and the reason for result.
  static QString OpenErrorMessage(vell::platform::OpenResult result);

  QString target() const { return target_; }
  bool hovering() const { return hovering_; }
  bool visited() const { return visited_; }
  bool attached() const { return attached_; }
  // Text colour for the present state.
  QColor CurrentColour() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SetHovering(bool hovering);
  void Clicked();

  bool hovering_ = false;
  bool visited_ = false;
  bool attached_ = false;
  bool handCursor_ = false;
  bool pressed_ = false;
  QString target_;
};
