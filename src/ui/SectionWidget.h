#pragma once
// A titled, foldable section of the monitor view (PanelA1 ...): a 4-pixel border, the 28-pixel
// header line and the body under it. Unfolded, a section is as high as its body needs (or, for
// the two sections that fill their column, as high as the column leaves); folded, exactly 34
// pixels, the header alone. Folding hides nothing from the display model: the fields of a folded
// section go on receiving values.

#include <QWidget>
#include <functional>
#include <vector>

#include "layout/SectionPlan.h"

class QHBoxLayout;
class QLabel;
class QToolButton;

namespace rv {

// A 24x24 light-green cell holding one flat picture button.
QWidget* MakeButtonCell(QWidget* parent, QToolButton*& button);

// The header line: the fold cell with its button (cmdS...), a 4-pixel gap, the title cell (light
// green, bold, centred, fills), then the section's command cells, each after a 4-pixel gap.
class SectionHeaderWidget : public QWidget {
  public:
    SectionHeaderWidget(const SectionPlan& plan, QWidget* parent = nullptr);

    QToolButton* FoldButton() const { return fold_; }
    QLabel* TitleCell() const { return title_; }
    // The command buttons in plan order (SpeedButton...).
    const std::vector<QToolButton*>& CommandButtons() const { return commands_; }

  protected:
    QHBoxLayout* Line() const { return line_; }

  private:
    QHBoxLayout* line_;
    QToolButton* fold_;
    QLabel* title_;
    std::vector<QToolButton*> commands_;
};

class SectionWidget : public QWidget {
  public:
    // Takes ownership of the header and the body.
    SectionWidget(const SectionPlan& plan, SectionHeaderWidget* header, QWidget* body,
                  QWidget* parent = nullptr);

    const SectionPlan& Plan() const { return plan_; }
    SectionHeaderWidget* Header() const { return header_; }

    bool Folded() const { return folded_; }
    // "Цифровые входы / выходы" and "Данные": unfolded, they take the rest of their column.
    bool FillsColumn() const;
    bool TakesRestOfColumn() const { return FillsColumn() && !folded_; }
    // Height when docked to the top of its column: 34 folded, else the borders, the header and
    // the body's own height.
    int DockedHeight() const;

    // The fold button's click (cmdSComClick ...): folds an unfolded section, unfolds a folded one.
    void FoldClick();
    // Called after every fold or unfold, so the column can stack its sections again.
    void SetOnFoldChanged(std::function<void()> f) { onFoldChanged_ = std::move(f); }

    // Places the header and the body inside the current geometry.
    void LayoutContent();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowFoldState();
    int BodyHeight() const;

    const SectionPlan& plan_;
    SectionHeaderWidget* header_;
    QWidget* body_;
    bool folded_ = false;
    std::function<void()> onFoldChanged_;
};

}  // namespace rv
