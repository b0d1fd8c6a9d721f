#pragma once
// The body of "Данные": the received-bytes counter LL_PIN, the traffic log Memo with its search
// bar (closed until Ctrl+F) and the free command line SendBox with its button Button1
// ("Выполнить").
//
// "Выполнить" sends the box's text as it stands (CR + text + LF, in Windows-1251) and leaves the
// text in the box; it is enabled exactly while the action DoCommand is. Enter in the box does not
// send.

#include <QWidget>

#include "commands/ActionSet.h"

class QLineEdit;
class QPushButton;

namespace rv {

class DisplayBinderQt;
class LogSearchBarWidget;
class MainForm;
class TrafficLogView;

class DataSectionWidget : public QWidget, public ActionObserver {
  public:
    DataSectionWidget(MainForm& form, DisplayBinderQt& binder, QWidget* parent = nullptr);

    // Ctrl+F: the search bar under the traffic log, open for typing.
    void OpenSearch();

    void ActionChanged(int action) override;

  private:
    void DoCommandClick();

    MainForm& form_;
    int doCommand_;
    TrafficLogView* memo_ = nullptr;
    LogSearchBarWidget* searchBar_ = nullptr;
    QLineEdit* sendBox_ = nullptr;
    QPushButton* button1_ = nullptr;
    Subscription actionsSubscription_;
};

}  // namespace rv
