#pragma once
/// @file
/// A one-line label for a file path: a path longer than the label keeps its start and its file
/// name and loses its middle; the whole path is the tooltip.

#include <QLabel>

namespace pw::gui {

class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ElidedLabel(QWidget* parent);
  /// Shows text, shortened in the middle to the label's width.
  void SetFullText(const QString& text);
  const QString& FullText() const { return full_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Elide();
  QString full_;
};

}  // namespace pw::gui
