#pragma once
// One column of the monitor view (Panel1 ... Panel4): its sections docked to the top one under
// the other, each at its own height, and a filling section ("Цифровые входы / выходы",
// "Данные") taking what the sections above it leave while it is unfolded.

#include <QWidget>
#include <vector>

namespace rv {

class SectionWidget;

class SectionColumnWidget : public QWidget {
  public:
    explicit SectionColumnWidget(QWidget* parent = nullptr);

    // Docks the section under the column's last one.
    void Append(SectionWidget* section);
    // Takes the section out of this column (it is reparented by the caller).
    void Remove(SectionWidget* section);
    const std::vector<SectionWidget*>& Sections() const { return sections_; }

    // Stacks the sections inside the current geometry.
    void Relayout();
    // Height the sections need: their own heights, a filling section's header alone.
    int NaturalHeight() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::vector<SectionWidget*> sections_;
};

}  // namespace rv
