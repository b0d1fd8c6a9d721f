#include "ui/TrafficLogView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/LogSearch.h"
#include "text/Cp1251.h"
#include "ui/Cp1251Qt.h"
#include "ui/FramePacerQt.h"

namespace rv {
namespace {

constexpr int kTextLeft = 2;
// The marks of a search: every place found, and those of the current match.
const QColor kMark(255, 236, 120);
const QColor kCurrentMark(255, 150, 50);

}  // namespace

// The scroll bar of a log that grows by hundreds of lines a second: its range changes with every
// line while its handle moves by a pixel now and then. It is repainted when it would look
// different (the handle's place or size, an arrow at the end of its way), not whenever its
// numbers change. It paints every pixel of its own, so its repaint does not reach the widgets
// behind it.
class LogScrollBar : public QScrollBar {
  public:
    explicit LogScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    // Runs `change` (range and value together) and repaints once if the bar looks different.
    template <class Change>
    void Batch(Change change) {
        batching_ = true;
        change();
        batching_ = false;
        RepaintIfChanged();
    }

    // Sets the range without telling the scroll area. The bar is always shown, so a new range
    // changes nothing around it; yet the area lays out its bars again on every new range, and
    // laying them out raises the horizontal bar, which repaints it: in every frame while lines
    // stream in. The value, which the view follows, still tells the area when it moves.
    void SetRangeQuietly(int minimum, int maximum, int pageStep) {
        const QSignalBlocker quiet(this);
        setRange(minimum, maximum);
        setPageStep(pageStep);
        setSingleStep(1);
    }

  protected:
    void sliderChange(SliderChange change) override {
        if (change == SliderOrientationChange) {
            QScrollBar::sliderChange(change);
        } else if (!batching_) {
            RepaintIfChanged();
        }
    }
    void paintEvent(QPaintEvent* event) override {
        painted_ = Current();
        {
            QPainter painter(this);
            painter.fillRect(rect(), palette().color(QPalette::Window));
        }
        QScrollBar::paintEvent(event);
    }

  private:
    struct Look {
        QRect handle;
        bool atStart = false;
        bool atEnd = false;
        bool operator==(const Look&) const = default;
    };
    Look Current() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        this),
                value() <= minimum(), value() >= maximum()};
    }
    void RepaintIfChanged() {
        const Look look = Current();
        if (look == painted_) return;
        painted_ = look;
        update();
    }
    Look painted_;
    bool batching_ = false;
};

TrafficLogView::TrafficLogView(Console& console, QWidget* parent)
    : QAbstractScrollArea(parent), console_(console) {
    setObjectName(QStringLiteral("Memo"));
    setFrameShape(QFrame::NoFrame);
    scrollBar_ = new LogScrollBar(this);
    setVerticalScrollBar(scrollBar_);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Text, Qt::black);
    viewport()->setPalette(p);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    lines_ = rows_ = static_cast<int>(console_.Log().Count());
    paintedRows_ = rows_;
    TakeFont();
    logSubscription_ = console_.Subscribe(*this);
    UpdateRange();
}

int TrafficLogView::LineHeight() const {
    return lineHeight_;
}

void TrafficLogView::TakeFont() {
    textFont_ = font();
    textFont_.setStyleStrategy(QFont::PreferNoShaping);
    lineHeight_ = std::max(1, QFontMetrics(textFont_).height());
    prepared_.clear();
    widest_ = 0;
    charWidthsKnown_ = false;
}

int TrafficLogView::VisibleLineCount() const {
    return std::max(1, viewport()->height() / LineHeight());
}

int TrafficLogView::FirstVisibleLine() const {
    return verticalScrollBar()->value();
}

bool TrafficLogView::AtBottom() const {
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

std::string TrafficLogView::LineBytes(int line) const {
    if (line < 0 || line >= lines_) return {};
    return console_.Log().Line(static_cast<std::size_t>(line));
}

QString TrafficLogView::LineText(int line) const {
    return FromCp1251(LineBytes(line));
}

int TrafficLogView::LineOfRow(int row) const {
    if (filter_ == nullptr) return row;
    const auto& matches = filter_->Matches();
    return row >= 0 && static_cast<std::size_t>(row) < matches.size()
               ? static_cast<int>(matches[static_cast<std::size_t>(row)])
               : -1;
}

int TrafficLogView::RowOfLine(int line) const {
    if (filter_ == nullptr) return std::clamp(line, 0, rows_);
    const auto& matches = filter_->Matches();
    const auto known = matches.begin() + std::min<std::ptrdiff_t>(rows_, std::ssize(matches));
    const auto it =
        std::lower_bound(matches.begin(), known, static_cast<std::uint32_t>(std::max(0, line)));
    return static_cast<int>(it - matches.begin());
}

int TrafficLogView::SelectionFirst() const {
    return anchor_ < 0 ? -1 : std::min(anchor_, current_);
}

int TrafficLogView::SelectionLast() const {
    return anchor_ < 0 ? -1 : std::max(anchor_, current_);
}

void TrafficLogView::SelectLines(int first, int last) {
    if (rows_ == 0 || first < 0) {
        anchor_ = current_ = -1;
    } else {
        anchor_ = std::clamp(first, 0, rows_ - 1);
        current_ = std::clamp(last, 0, rows_ - 1);
    }
    viewport()->update();
}

QString TrafficLogView::SelectedText() const {
    QStringList lines;
    for (int i = SelectionFirst(); i >= 0 && i <= SelectionLast(); ++i)
        lines << LineText(LineOfRow(i));
    return lines.join(QLatin1Char('\n'));
}

void TrafficLogView::CopySelection() const {
    if (SelectionFirst() >= 0) QApplication::clipboard()->setText(SelectedText());
}

void TrafficLogView::UpdateRange() {
    QScrollBar* bar = verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    const int page = VisibleLineCount();
    scrollBar_->Batch([&] {
        scrollBar_->SetRangeQuietly(0, std::max(0, rows_ - page), page);
        // The newest line stays in sight while the technician watches the end of the log.
        if (atBottom) bar->setValue(bar->maximum());
    });
}

void TrafficLogView::LinesAppended(std::size_t count) {
    lines_ = static_cast<int>(count);
    if (filter_ == nullptr) SetRows(lines_);  // filtered, rows come as the search finds them
}

void TrafficLogView::MatchesGrew() {
    if (filter_ != nullptr) SetRows(static_cast<int>(filter_->Matches().size()));
}

void TrafficLogView::SetRows(int rows) {
    if (rows == rows_) return;
    rows_ = rows;
    // One driver tick delivers several lines, and a frame several ticks: the scroll bar is set
    // once for all of them, at the window's next frame (or, in a window without frames, when
    // the tick has returned to the event loop).
    if (rangePending_) return;
    rangePending_ = true;
    if (FramePacerQt::Of(this) != nullptr) {
        RequestFrame();
    } else {
        QMetaObject::invokeMethod(
            this, [this] { Frame(); }, Qt::QueuedConnection);
    }
}

void TrafficLogView::LogCleared() {
    lines_ = rows_ = 0;
    prepared_.clear();
    anchor_ = current_ = -1;
    markedLine_ = -1;
    UpdateRange();
    paintedFirst_ = FirstVisibleLine();
    paintedRows_ = 0;
    widest_ = 0;
    UpdateWidthRange();
    viewport()->update();
}

void TrafficLogView::LogTruncated(std::size_t count) {
    // The lines from `count` on are gone (the lines appended next may read differently): their
    // layouts go, a selection keeps what is left of it, and the page is drawn anew. Filtered, the
    // rows are the matches before the cut (the search drops the rest when it hears of the cut).
    lines_ = static_cast<int>(count);
    std::erase_if(prepared_, [this](const auto& entry) { return entry.first >= lines_; });
    if (filter_ != nullptr) {
        const auto& matches = filter_->Matches();
        rows_ = static_cast<int>(
            std::lower_bound(matches.begin(), matches.end(), static_cast<std::uint32_t>(count)) -
            matches.begin());
    } else {
        rows_ = lines_;
    }
    if (markedLine_ >= lines_) markedLine_ = -1;
    if (SelectionFirst() >= rows_) {
        anchor_ = current_ = -1;
    } else if (anchor_ >= 0) {
        anchor_ = std::min(anchor_, rows_ - 1);
        current_ = std::min(current_, rows_ - 1);
    }
    rangePending_ = false;
    UpdateRange();
    paintedFirst_ = FirstVisibleLine();
    paintedRows_ = rows_;
    viewport()->update();
}

void TrafficLogView::SetMarks(const LogSearch* search, int currentLine) {
    marks_ = search;
    markedLine_ = currentLine;
    viewport()->update();
}

void TrafficLogView::SetFilter(const LogSearch* search) {
    const int topLine = LineOfRow(FirstVisibleLine());
    const bool atBottom = AtBottom();
    filter_ = search;
    rows_ = filter_ != nullptr ? static_cast<int>(filter_->Matches().size()) : lines_;
    rangePending_ = false;
    anchor_ = current_ = -1;
    UpdateRange();
    // Following the newest line, the view goes on following it; else the line that was at the top
    // (or the next one shown) comes to the top.
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(atBottom ? bar->maximum() : RowOfLine(topLine));
    paintedFirst_ = FirstVisibleLine();
    paintedRows_ = rows_;
    viewport()->update();
}

void TrafficLogView::ShowLine(int line) {
    const int row = RowOfLine(line);
    if (row >= rows_) return;
    if (rangePending_) Frame();  // the scroll bar must know the row first
    const int first = FirstVisibleLine();
    const int page = VisibleLineCount();
    if (row < first || row >= first + page) verticalScrollBar()->setValue(row - page / 2);
}

void TrafficLogView::scrollContentsBy(int dx, int /*dy*/) {
    if (dx != 0) viewport()->update();  // every row moves sideways
    if (!inFrame_) RequestFrame();      // a frame brings the pixels along anyway
}

int TrafficLogView::TextLeft() const {
    return kTextLeft - horizontalScrollBar()->value();
}

int TrafficLogView::WidthBound(std::string_view cp1251) {
    if (!charWidthsKnown_) {
        const QFontMetricsF metrics(textFont_);
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            charWidths_[static_cast<std::size_t>(byte)] = static_cast<float>(
                std::ceil(metrics.horizontalAdvance(FromCp1251(std::string_view(&c, 1)))));
        }
        charWidthsKnown_ = true;
    }
    float width = 0;
    for (const char c : cp1251) width += charWidths_[static_cast<unsigned char>(c)];
    // A kerned pair may stand a pixel wider than its two characters apart.
    return static_cast<int>(width) + static_cast<int>(cp1251.size()) / 8 + 1;
}

void TrafficLogView::NoteWidth(int width) {
    if (width <= widest_) return;
    widest_ = width;
    // Measured while painting: the scroll bar (which may show and shrink the page) is set after.
    if (widthPending_) return;
    widthPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            widthPending_ = false;
            UpdateWidthRange();
        },
        Qt::QueuedConnection);
}

void TrafficLogView::UpdateWidthRange() {
    QScrollBar* bar = horizontalScrollBar();
    const int page = viewport()->width();
    bar->setRange(0, std::max(0, widest_ + 2 * kTextLeft - page));
    bar->setPageStep(page);
    bar->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 4));
}

void TrafficLogView::DrawMarks(QPainter& painter, int line, int y, int height) {
    const std::string shown = console_.Log().Line(static_cast<std::size_t>(line));
    const std::vector<LogSearch::Span> spans = marks_->SpansIn(shown);
    if (spans.empty()) return;
    // Windows-1251 is one byte a character, so a byte's place is its character's place.
    const QString text = FromCp1251(shown);
    const QFontMetrics metrics(textFont_);
    const QColor colour = line == markedLine_ ? kCurrentMark : kMark;
    for (const LogSearch::Span& span : spans) {
        const int start = static_cast<int>(span.start);
        const int length = static_cast<int>(span.length);
        const int x = TextLeft() + metrics.horizontalAdvance(text.left(start));
        painter.fillRect(x, y, metrics.horizontalAdvance(text.mid(start, length)), height, colour);
    }
}

void TrafficLogView::RequestFrame() {
    if (FramePacerQt* pacer = FramePacerQt::Of(this)) {
        pacer->RequestFrame(this, [this] { Frame(); });
    } else {
        Frame();
    }
}

void TrafficLogView::Frame() {
    inFrame_ = true;
    if (rangePending_) {
        rangePending_ = false;
        UpdateRange();
    }
    FrameWork();
    inFrame_ = false;
}

void TrafficLogView::FrameWork() {
    const int first = FirstVisibleLine();
    const int rows = first - paintedFirst_;
    const int height = LineHeight();
    bool whole = false;
    if (rows != 0) {
        if (std::abs(rows) < VisibleLineCount()) {
            viewport()->scroll(0, -rows * height);  // exposes the rows scrolled in
        } else {
            viewport()->update();
            whole = true;
        }
        paintedFirst_ = first;
    }
    // Lines appended in sight that the scroll did not expose (a page not yet full, or the
    // technician looking at the end without following it).
    if (!whole && paintedRows_ < rows_) {
        const int top = std::max(paintedRows_, first);
        const int bottom = std::min(rows_, first + VisibleLineCount() + 1);
        if (top < bottom)
            viewport()->update(0, (top - first) * height, viewport()->width(),
                               (bottom - top) * height);
    }
    paintedRows_ = rows_;
}

const QString& TrafficLogView::Prepared(int line) {
    auto it = prepared_.find(line);
    if (it == prepared_.end()) {
        const std::string cp1251 = line >= 0 && line < lines_
                                       ? console_.Log().Line(static_cast<std::size_t>(line))
                                       : std::string();
        QString text = FromCp1251(cp1251);
        // Only a line that may be wider than the widest so far is measured: measuring lays out the
        // text again, and most lines are about as long as the others.
        if (WidthBound(cp1251) > widest_)
            NoteWidth(QFontMetrics(textFont_).horizontalAdvance(text));
        it = prepared_.emplace(line, std::move(text)).first;
    }
    return it->second;
}

void TrafficLogView::paintEvent(QPaintEvent* event) {
    const int height = LineHeight();
    const int first = FirstVisibleLine();
    const QRect area = event->rect();
    if (first != paintedFirst_ || paintedRows_ != rows_) {
        // Painted before the frame brought the pixels up to date (an expose): what lies outside
        // this area is stale, so the whole page follows.
        const QRegion& region = event->region();
        if (region.rectCount() != 1 || !area.contains(viewport()->rect())) viewport()->update();
        paintedFirst_ = first;
        paintedRows_ = rows_;
    }
    QPainter painter(viewport());
    painter.setFont(textFont_);
    const int ascent = QFontMetrics(textFont_).ascent();
    const int width = viewport()->width();
    const QPalette& pal = palette();
    const int selFirst = SelectionFirst();
    const int selLast = SelectionLast();
    const int top = std::max(0, area.top() / height);
    const int bottom = std::min(rows_ - first, area.bottom() / height + 1);
    for (int i = top, y = top * height; i < bottom; ++i, y += height) {
        const int row = first + i;
        const int line = LineOfRow(row);
        if (line < 0) break;
        const bool selected = row >= selFirst && row <= selLast && selFirst >= 0;
        if (selected) {
            painter.fillRect(0, y, width, height, pal.color(QPalette::Highlight));
            painter.setPen(pal.color(QPalette::HighlightedText));
        } else {
            painter.setPen(viewport()->palette().color(QPalette::Text));
        }
        if (marks_ != nullptr && marks_->Active()) DrawMarks(painter, line, y, height);
        painter.drawText(QPointF(TextLeft(), y + ascent), Prepared(line));
    }
    // Keep the layouts of the page in sight and of one page on either side.
    const int page = VisibleLineCount() + 1;
    if (prepared_.size() > static_cast<std::size_t>(4 * page)) {
        const int low = LineOfRow(std::max(0, first - page));
        const int high = LineOfRow(std::min(rows_ - 1, first + 2 * page));
        std::erase_if(prepared_,
                      [&](const auto& entry) { return entry.first < low || entry.first > high; });
    }
}

void TrafficLogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateRange();
    UpdateWidthRange();
}

void TrafficLogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        TakeFont();
        UpdateRange();
        UpdateWidthRange();
    }
}

int TrafficLogView::LineAt(int y) const {
    const int line = FirstVisibleLine() + (y < 0 ? -1 : y / LineHeight());
    return std::clamp(line, 0, std::max(0, rows_ - 1));
}

void TrafficLogView::mousePressEvent(QMouseEvent* event) {
    if (rows_ == 0 || event->button() != Qt::LeftButton) return;
    const int line = LineAt(event->position().toPoint().y());
    if (!(event->modifiers() & Qt::ShiftModifier) || anchor_ < 0) anchor_ = line;
    current_ = line;
    viewport()->update();
}

void TrafficLogView::mouseMoveEvent(QMouseEvent* event) {
    if (rows_ == 0 || anchor_ < 0 || !(event->buttons() & Qt::LeftButton)) return;
    const int y = event->position().toPoint().y();
    QScrollBar* bar = verticalScrollBar();
    if (y < 0) bar->setValue(bar->value() - 1);
    if (y >= viewport()->height()) bar->setValue(bar->value() + 1);
    current_ = LineAt(std::clamp(y, 0, viewport()->height() - 1));
    viewport()->update();
}

void TrafficLogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectLines(0, rows_ - 1);
    } else if (event->matches(QKeySequence::MoveToStartOfDocument) ||
               event->key() == Qt::Key_Home) {
        verticalScrollBar()->setValue(0);
    } else if (event->matches(QKeySequence::MoveToEndOfDocument) || event->key() == Qt::Key_End) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else {
        QAbstractScrollArea::keyPressEvent(event);  // arrows and page keys scroll
        return;
    }
    event->accept();
}

}  // namespace rv
