#pragma once
// "Сервис → Графики": the fields that have a trend, grouped as the monitor view shows them, to
// tick one or more and open them together in a trend window.

#include <QDialog>
#include <vector>

class QTreeWidget;

namespace rv {

class DisplayModel;
class FieldHistory;

class TrendChooserQt : public QDialog {
  public:
    TrendChooserQt(const FieldHistory& history, const DisplayModel& display,
                   QWidget* parent = nullptr);

    // The ticked fields, in the order of the list.
    std::vector<int> ChosenFields() const;
    // Ticks a field (tests; the technician clicks).
    void Choose(int field, bool chosen = true);

  private:
    QTreeWidget* tree_ = nullptr;
};

}  // namespace rv
