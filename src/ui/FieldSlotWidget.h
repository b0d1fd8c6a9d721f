#pragma once
// The place of a value label in a section row. A label whose text changes asks the layouts around
// it to run again, up to the window's, and each of them asks every widget in it for its size; a
// saturated link changes dozens of labels every frame. Yet in a row of fixed height a field that
// takes the rest of the row (or a caption of fixed width) is as large as the row makes it,
// whatever it says. The slot stands in the row's layout in the label's place, with the label's
// size rules, and keeps the label covering it; the label's new texts then reach no layout.

#include <QWidget>

namespace rv {

class FieldSlot : public QWidget {
  public:
    // Puts `field` (made as a child of `parent`) into a new slot of the same size rules, child of
    // `parent`; returns the slot, for the row's layout.
    static FieldSlot* Hold(QWidget* field, QWidget* parent);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    FieldSlot(QWidget* field, QWidget* parent);
    QWidget* field_;
};

}  // namespace rv
