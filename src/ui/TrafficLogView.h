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

#include <QAbstractScrollArea>
#include <QStaticText>
#include <QString>
#include <unordered_map>

#include "app/Console.h"

namespace rv {

class LogScrollBar;

class TrafficLogView : public QAbstractScrollArea, public LogObserver {
  public:
    TrafficLogView(Console& console, QWidget* parent = nullptr);

    // The lines the view knows of and the text of one (UTF-8 for display).
    int LineCount() const { return lines_; }
    QString LineText(int line) const;
    int FirstVisibleLine() const;
    int VisibleLineCount() const;
    bool AtBottom() const;
    // The selected lines, first and last (-1 when nothing is selected), and their text as copied.
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
    int LineHeight() const;
    int LineAt(int y) const;
    void UpdateRange();
    // Brings the pixels up to the lines in sight: scrolls them by the rows the view moved since
    // they were drawn and asks for the rows that are new. Runs once a frame.
    void RequestFrame();
    void Frame();
    void FrameWork();
    const QStaticText& Prepared(int line);

    Console& console_;
    LogScrollBar* scrollBar_ = nullptr;
    int lines_ = 0;
    bool rangePending_ = false;  // lines arrived since the scroll bar was set
    bool inFrame_ = false;
    int paintedFirst_ = 0;  // the first line in sight when the pixels were last brought up to date
    int paintedLines_ = 0;  // the lines the view knew of then
    int anchor_ = -1;
    int current_ = -1;
    // The lines lately drawn, laid out once: a log line never changes until the clear, and while
    // the log follows its newest line each repaint draws almost the same lines again.
    std::unordered_map<int, QStaticText> prepared_;
    Subscription logSubscription_;
};

}  // namespace rv
