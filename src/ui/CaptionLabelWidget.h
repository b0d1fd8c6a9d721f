#pragma once
// A row caption of fixed width, grey. The widths were made for "MS Sans Serif"; where a wider
// font stands in for it, a text that would not fit (a fixed caption, or one the unit's replies
// rewrite, such as "Импульсный 3:" or a sensor's address) is drawn narrower instead of losing its
// first letters.

#include <QLabel>

namespace rv {

class CaptionLabel : public QLabel {
  public:
    CaptionLabel(const QString& text, int width, QWidget* parent = nullptr,
                 Qt::Alignment alignment = Qt::AlignRight);

    // The font the text is drawn in: the label's own, narrowed (down to 60 %) until the current
    // text fits the label's width.
    QFont FittedFont() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace rv
