#pragma once
// The search bar of the traffic log: opened with Ctrl+F ("Сервис → Найти в логе…"), closed with
// Escape or its close button, it stands under the log and takes room from it only while open.
//
// The technician types the text (a word, a time, a reply key such as ">LLS="); the log view marks
// every place it stands, and the current match (the nearest one at or after the top of the view,
// or the newest one while the view follows the newest line) is scrolled into sight. "Найти далее"
// and "Найти ранее" (the arrows, F3 and Shift+F3, Enter and Shift+Enter in the text) go round the
// log. The count beside reads "3 из 120" (lines that match; it grows while the search goes through
// a long log, with "…" until it is through) or "Не найдено". "Учитывать регистр" tells capitals
// from small letters; "Только совпадения" shows only the matching lines (the log itself and the
// saved file keep every line).
//
// The search goes through the log in slices of a few milliseconds between the window's other work,
// so neither a long log nor a fast link freezes the window; lines that arrive while the bar is open
// are searched as they come. Closed, the bar costs nothing.

#include <QWidget>
#include <cstddef>

#include "app/Console.h"
#include "app/LogSearch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QShortcut;
class QTimer;
class QToolButton;

namespace rv {

class TrafficLogView;

class LogSearchBarWidget : public QWidget, public LogObserver {
  public:
    LogSearchBarWidget(Console& console, TrafficLogView& view, QWidget* parent = nullptr);

    // Shows the bar with its text selected for typing over; the marks (and the filter, if it is
    // on) come back.
    void Open();
    // Hides the bar: the log shows every line again, unmarked; the focus goes back to the log.
    void Close();

    void FindNext();
    void FindPrevious();

    const LogSearch& Search() const { return search_; }
    // The current match's line, or -1.
    int CurrentLine() const;
    QString CountText() const;

    void LinesAppended(std::size_t count) override;
    void LogCleared() override;
    void LogTruncated(std::size_t count) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void QueryChanged();
    void FilterChanged();
    // Makes `line` the current match and brings it into sight.
    void SetCurrent(std::size_t line);
    void ScanSlice();
    void ScheduleScan();
    void ShowCount();
    void EnableKeys(bool enabled);

    Console& console_;
    TrafficLogView& view_;
    LogSearch search_;
    std::size_t current_ = LogSearch::kNone;
    // Where a new query looks first: the top line in sight when the bar opened or the last match
    // moved to; kNone while the view follows the newest line (the newest match then).
    std::size_t origin_ = LogSearch::kNone;
    QLineEdit* text_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* close_ = nullptr;
    QLabel* count_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* filter_ = nullptr;
    QTimer* scanTimer_ = nullptr;
    QShortcut* findNextKey_ = nullptr;
    QShortcut* findPreviousKey_ = nullptr;
    QShortcut* closeKey_ = nullptr;
    Subscription logSubscription_;
};

}  // namespace rv
