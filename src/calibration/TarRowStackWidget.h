#pragma once
// The widget inside a table area scbDatN: the channel's row panels stacked top-down in table
// order, hidden rows taking no room.
//
// The rows do not stand side by side in this widget but in blocks of kRowsPerBlock rows: the
// toolkit scans a widget's siblings whenever the widget is shown, moved or repainted, so with
// every row a sibling of every other, each added row cost time in proportion to the table's
// length. A block bounds that scan. The rows are placed by explicit geometry (each is
// kTarRowHeight high) rather than by a layout, so an added row moves no other row; hiding a row
// moves only the rows below it in its block and the blocks below that.
//
// Only the blocks in sight of the table area are shown; the others wait hidden, so that the
// renumbering after a deletion, which touches every later row, does not also schedule the
// repainting of thousands of rows nobody sees. A row's own shown or hidden state (a deleted row is
// hidden) does not depend on its block's.

#include <QWidget>
#include <cstddef>
#include <vector>

class QScrollArea;

namespace rv {

class TarRowStack : public QWidget {
  public:
    static constexpr std::size_t kRowsPerBlock = 64;

    // Becomes the widget of `area`.
    explicit TarRowStack(QScrollArea* area);

    // Parent for the next row (rows arrive in table order, one at a time).
    QWidget* NextHost();
    // Puts the next row, a child of NextHost(), below the rows already there.
    void Append(QWidget* row, bool visible);
    // Hides row `index` and closes the gap it leaves.
    void Hide(std::size_t index);
    // Frees every row with its cells.
    void Clear();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Scrolling moves this widget inside the table area's viewport.
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Block {
        QWidget* widget = nullptr;
        int visibleRows = 0;
    };

    void Grow(Block& block, int rows);
    // Shows the blocks first..last-1 that overlap the part of this widget the viewport shows,
    // hides the others.
    void ShowInSight(std::size_t first, std::size_t last);

    std::vector<Block> blocks_;
    std::vector<QWidget*> rows_;
    int visibleRows_ = 0;
};

}  // namespace rv
