#include "ui/SectionColumnWidget.h"

#include <algorithm>

#include "ui/SectionWidget.h"

namespace rv {

SectionColumnWidget::SectionColumnWidget(QWidget* parent) : QWidget(parent) {}

void SectionColumnWidget::Append(SectionWidget* section) {
    Remove(section);
    section->setParent(this);
    sections_.push_back(section);
    section->show();
}

void SectionColumnWidget::Remove(SectionWidget* section) {
    sections_.erase(std::remove(sections_.begin(), sections_.end(), section), sections_.end());
}

void SectionColumnWidget::Relayout() {
    int y = 0;
    for (SectionWidget* s : sections_) {
        const int h = s->TakesRestOfColumn() ? std::max(0, height() - y) : s->DockedHeight();
        s->setGeometry(0, y, width(), h);
        s->LayoutContent();
        y += h;
    }
}

int SectionColumnWidget::NaturalHeight() const {
    int total = 0;
    for (SectionWidget* s : sections_) {
        total += s->TakesRestOfColumn() ? kFoldedSectionHeight : s->DockedHeight();
    }
    return total;
}

void SectionColumnWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

}  // namespace rv
