#pragma once
// The rows of a section built from its plan, top to bottom: value rows (grey caption, 8-pixel
// gap, display field), separators, gaps, the input rows with their colour markers and rewritable
// captions, the signal-level row and the battery row. Display fields come from the binder, so
// they follow the display model.

#include <QLabel>
#include <QWidget>

#include "ui/SectionPlan.h"

namespace rv {

class DisplayBinderQt;

// A row caption of fixed width, grey and right-aligned. The widths were made for "MS Sans
// Serif"; where a wider font stands in for it, a text that would not fit (a fixed caption, or
// one the unit's replies rewrite, such as "Импульсный 3:") is drawn narrower instead of losing
// its first letters.
class CaptionLabel : public QLabel {
  public:
    CaptionLabel(const QString& text, int width, QWidget* parent = nullptr);

    // The font the text is drawn in: the label's own, narrowed (down to 60 %) until the current
    // text fits the label's width.
    QFont FittedFont() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class SectionRowsWidget : public QWidget {
  public:
    SectionRowsWidget(const SectionPlan& plan, DisplayBinderQt& binder, QWidget* parent = nullptr);
};

}  // namespace rv
