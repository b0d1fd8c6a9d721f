#include "calibration/TarRowStackWidget.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <algorithm>

#include "calibration/Recorder.h"
#include "ui/ColoursQt.h"

namespace rv {

TarRowStack::TarRowStack(QScrollArea* area) : QWidget(area) {
    SetBackground(this, kWhite);
    // Growing by a row repaints only the new row, not every row in sight.
    setAttribute(Qt::WA_StaticContents);
    area->setWidget(this);
    area->viewport()->installEventFilter(this);
}

QWidget* TarRowStack::NextHost() {
    const std::size_t b = rows_.size() / kRowsPerBlock;
    if (b == blocks_.size()) {
        Block block;
        block.widget = new QWidget(this);
        block.widget->setAttribute(Qt::WA_StaticContents);
        block.widget->setGeometry(0, visibleRows_ * kTarRowHeight, width(), 0);
        blocks_.push_back(block);
        ShowInSight(b, b + 1);
    }
    return blocks_[b].widget;
}

void TarRowStack::Append(QWidget* row, bool visible) {
    const std::size_t b = rows_.size() / kRowsPerBlock;
    Block& block = blocks_[b];
    rows_.push_back(row);
    row->setGeometry(0, block.visibleRows * kTarRowHeight, width(), kTarRowHeight);
    row->setVisible(visible);
    if (!visible) return;
    Grow(block, +1);
    ShowInSight(b, b + 1);
}

void TarRowStack::Hide(std::size_t index) {
    if (index >= rows_.size() || rows_[index]->isHidden()) return;
    rows_[index]->hide();
    const std::size_t b = index / kRowsPerBlock;
    const std::size_t end = std::min(rows_.size(), (b + 1) * kRowsPerBlock);
    for (std::size_t i = index + 1; i < end; ++i) {
        QWidget* row = rows_[i];
        if (!row->isHidden()) row->move(0, row->y() - kTarRowHeight);
    }
    Grow(blocks_[b], -1);
    for (std::size_t i = b + 1; i < blocks_.size(); ++i) {
        QWidget* block = blocks_[i].widget;
        block->move(0, block->y() - kTarRowHeight);
    }
    ShowInSight(b, blocks_.size());
}

void TarRowStack::Clear() {
    for (Block& block : blocks_) delete block.widget;
    blocks_.clear();
    rows_.clear();
    visibleRows_ = 0;
    setMinimumHeight(0);
}

void TarRowStack::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) {
        const int w = width();
        for (Block& block : blocks_) block.widget->resize(w, block.visibleRows * kTarRowHeight);
        for (QWidget* row : rows_) row->resize(w, kTarRowHeight);
    }
    ShowInSight(0, blocks_.size());
}

void TarRowStack::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    ShowInSight(0, blocks_.size());
}

bool TarRowStack::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        ShowInSight(0, blocks_.size());
    }
    return QWidget::eventFilter(watched, event);
}

void TarRowStack::Grow(Block& block, int rows) {
    block.visibleRows += rows;
    block.widget->resize(width(), block.visibleRows * kTarRowHeight);
    visibleRows_ += rows;
    // The table area scrolls once the rows are taller than it.
    setMinimumHeight(visibleRows_ * kTarRowHeight);
}

void TarRowStack::ShowInSight(std::size_t first, std::size_t last) {
    const QWidget* viewport = parentWidget();
    const int top = -y();
    const int bottom = top + (viewport != nullptr ? viewport->height() : height());
    for (std::size_t i = first; i < last && i < blocks_.size(); ++i) {
        QWidget* block = blocks_[i].widget;
        const int blockTop = block->y();
        const int blockBottom = blockTop + blocks_[i].visibleRows * kTarRowHeight;
        const bool inSight = blockBottom > top && blockTop < bottom;
        if (inSight == block->isHidden()) block->setVisible(inSight);
    }
}

}  // namespace rv
