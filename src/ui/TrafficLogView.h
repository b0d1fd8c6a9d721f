#pragma once
// The traffic log list Memo: a read-only view of the log store that draws only the lines in sight
// (decoded from Windows-1251 as they are drawn), so a log of a million lines costs nothing more to
// show or to append to than an empty one. It keeps the newest line in sight while the technician
// has it scrolled to the bottom, and lets the technician select lines (click, Shift+click, drag,
// Ctrl+A) and copy them (Ctrl+C).
//
// Its pixels change once a frame at most (see FramePacerQt), and by what changed: new lines
// scroll the page up by their count and only the rows they expose are drawn, so a frame costs the
// same whether one line arrived since the last one or a hundred.
//
// One row is one line, never wrapped: selection, the scroll by a count of rows and the filter stay
// simple. A line wider than the view is reached with the horizontal scroll bar, whose range
// follows the widest line laid out for drawing so far (a line is measured when it is drawn, never
// a million at once); it shows only while such a line is known.
//
// The search bar (LogSearchBarWidget) hands the view its search: every place the query stands in
// the rows drawn is marked, those of the current match stronger; with the filter on, the rows are
// the matching lines only, as far as the search has found them. Selection and copy work on the
// rows shown.

#include <QAbstractScrollArea>
#include <QFont>
#include <QString>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/Console.h"

class QPainter;

namespace rv {

class LogScrollBar;
class LogSearch;

class TrafficLogView : public QAbstractScrollArea, public LogObserver {
  public:
    TrafficLogView(Console& console, QWidget* parent = nullptr);

    // The lines the view knows of and the text of one (UTF-8 for display).
    int LineCount() const { return lines_; }
    QString LineText(int line) const;
    // The same, as the unit sent it (Windows-1251).
    std::string LineBytes(int line) const;
    // The rows shown: every line, or with the filter on the matching lines. The first row in
    // sight, the rows a page holds.
    int RowCount() const { return rows_; }
    int LineOfRow(int row) const;
    // The row that shows `line`, or else the first row after it (RowCount() when none).
    int RowOfLine(int line) const;
    int FirstVisibleLine() const;
    int VisibleLineCount() const;
    bool AtBottom() const;

    // Marks the places `search` finds in the rows drawn, those in `currentLine` stronger
    // (nullptr: no marks).
    void SetMarks(const LogSearch* search, int currentLine);
    // Shows only the lines `search` has found (nullptr: every line). The line at the top stays in
    // sight as near as it can; the selection is dropped.
    void SetFilter(const LogSearch* search);
    bool Filtered() const { return filter_ != nullptr; }
    // The search found more lines: the filter's rows grow.
    void MatchesGrew();
    // Scrolls so that `line` is in sight (centred when it was not).
    void ShowLine(int line);

    // The selected rows, first and last (-1 when nothing is selected), and their text as copied.
    int SelectionFirst() const;
    int SelectionLast() const;
    QString SelectedText() const;
    void SelectLines(int first, int last);
    void CopySelection() const;

    void LinesAppended(std::size_t count) override;
    void LogCleared() override;
    void LogTruncated(std::size_t count) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    // Horizontal: where the text of every row begins, scrolled; the widest line drawn so far.
    int TextLeft() const;
    void NoteWidth(int width);
    // At least as wide as the line would be drawn.
    int WidthBound(std::string_view cp1251);
    void UpdateWidthRange();
    void DrawMarks(QPainter& painter, int line, int y, int height);
    void SetRows(int rows);
    int LineHeight() const;
    int LineAt(int y) const;
    void UpdateRange();
    // Brings the pixels up to the lines in sight: scrolls them by the rows the view moved since
    // they were drawn and asks for the rows that are new. Runs once a frame.
    void RequestFrame();
    void Frame();
    void FrameWork();
    const QString& Prepared(int line);

    Console& console_;
    LogScrollBar* scrollBar_ = nullptr;
    int lines_ = 0;
    int rows_ = 0;
    bool rangePending_ = false;  // rows arrived since the scroll bar was set
    bool inFrame_ = false;
    int paintedFirst_ = 0;  // the first row in sight when the pixels were last brought up to date
    int paintedRows_ = 0;   // the rows the view knew of then
    const LogSearch* marks_ = nullptr;
    int markedLine_ = -1;
    const LogSearch* filter_ = nullptr;
    int widest_ = 0;  // pixels, of the widest line drawn since the clear
    bool widthPending_ = false;
    int anchor_ = -1;
    int current_ = -1;
    // The lines lately drawn, laid out once: a log line never changes until the clear, and while
    // the log follows its newest line each repaint draws almost the same lines again.
    std::unordered_map<int, QString> prepared_;
    std::array<float, 256> charWidths_{};  // of the font, by the log's single-byte characters
    bool charWidthsKnown_ = false;
    // The lines are drawn in the view's font without text shaping: a log line is Latin, Cyrillic,
    // digits and punctuation, which need none, and shaping each new line cost as much as drawing
    // its glyphs. Set from the view's font whenever it changes, with its line height.
    QFont textFont_;
    int lineHeight_ = 1;
    void TakeFont();
    Subscription logSubscription_;
};

}  // namespace rv
