#pragma once
// The rows of a section built from its plan, top to bottom: value rows (grey caption, 8-pixel
// gap, display field), separators, gaps, the input rows with their colour markers and rewritable
// captions, the signal-level row and the battery row. Display fields come from the binder, so
// they follow the display model.

#include <QWidget>

#include "layout/SectionPlan.h"

namespace rv {

class DisplayBinderQt;

class SectionRowsWidget : public QWidget {
  public:
    SectionRowsWidget(const SectionPlan& plan, DisplayBinderQt& binder, QWidget* parent = nullptr);
};

}  // namespace rv
