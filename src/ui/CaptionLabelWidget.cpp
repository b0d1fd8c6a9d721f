#include "ui/CaptionLabelWidget.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "ui/ColoursQt.h"

namespace rv {

CaptionLabel::CaptionLabel(const QString& text, int width, QWidget* parent, Qt::Alignment alignment)
    : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setFixedWidth(width);
    setAlignment(alignment | Qt::AlignVCenter);
    SetForeground(this, kGrey);
}

QFont CaptionLabel::FittedFont() const {
    constexpr int kMinStretch = 60;
    QFont fitted = font();
    fitted.setStretch(QFont::Unstretched);
    const int room = contentsRect().width();
    const int advance = QFontMetrics(fitted).horizontalAdvance(text());
    if (advance <= room || advance <= 0) return fitted;
    // Glyph widths round per character, so narrow step by step until the text fits.
    int stretch = std::max(kMinStretch, 100 * room / advance);
    for (; stretch > kMinStretch; stretch -= 2) {
        fitted.setStretch(stretch);
        if (QFontMetrics(fitted).horizontalAdvance(text()) <= room) return fitted;
    }
    fitted.setStretch(kMinStretch);
    return fitted;
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    // Drawn at paint time, so a text that a reply has just rewritten is fitted as well.
    QPainter p(this);
    p.setFont(FittedFont());
    style()->drawItemText(&p, contentsRect(),
                          QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), text(), foregroundRole());
}

}  // namespace rv
