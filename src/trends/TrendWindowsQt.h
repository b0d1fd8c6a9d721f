#pragma once
// Opens trend windows: from a numeric value in the monitor view (its context menu "График", or a
// double click on it) and from "Сервис → Графики" (the chooser). The windows belong to the main
// window and close with it; any number may be open. The monitor view's layout is untouched: the
// value labels only gain a context menu and a double click.

#include <QObject>
#include <QPointer>
#include <vector>

class QMenu;
class QWidget;

namespace rv {

class Console;
class DisplayBinderQt;
class TrendChooserQt;
class TrendWindow;

class TrendWindowsQt : public QObject {
  public:
    // `window` is the main window; the item "Графики…" is added to `serviceMenu`.
    TrendWindowsQt(Console& console, DisplayBinderQt& binder, QMenu* serviceMenu, QWidget* window);

    // A new trend window of `fields`, shown.
    TrendWindow* Open(std::vector<int> fields);
    // The chooser of "Сервис → Графики" (opened without a nested event loop).
    TrendChooserQt* ChooseAndOpen();
    // The windows still open.
    std::vector<TrendWindow*> Windows() const;
    void CloseAll();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowContextMenu(int field, QWidget* label, const QPoint& at);

    Console& console_;
    QWidget* window_;
    std::vector<QPointer<TrendWindow>> windows_;
};

}  // namespace rv
