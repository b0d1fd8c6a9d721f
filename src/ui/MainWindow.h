#pragma once
// The console's one window, "Rarevi Revodive": the menu, the page control with the monitor view
// and the calibration view, and the bottom bar with the maker's button. It owns the form logic
// (MainForm) and the serial driver's timer, runs the start-up sequence and the close request.

#include <QMainWindow>
#include <memory>
#include <string>

#include "app/MainForm.h"
#include "app/PlaybackClock.h"
#include "app/SystemClock.h"
#include "text/RegionalFormats.h"

class QLabel;
class QTabWidget;
class QTimer;

namespace rv {

class CalibrationPage;
class DisplayBinderQt;
class LogPlayerBarQt;
class MainMenuQt;
class MonitorView;
class PortHotPlugQt;
class SessionRecords;
class TimerTickQt;
class TrendWindowsQt;

class MainWindow : public QMainWindow {
  public:
    // `platform` may hold a device and a port-list reader for tests; the window supplies the tick
    // source, the error report and the home-page opener.
    explicit MainWindow(FormPlatform platform = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainForm& Form() { return *form_; }

    // The page control PC: 0 the monitor view, 1 the calibration view.
    int CurrentPage() const;
    void N8Click();  // "Логгер"
    void N9Click();  // "Тарировка"

    // "Сохранить лог-файл в..": proposes a name and writes the traffic log where the technician
    // chooses. A file that cannot be written is reported with its reason (the system's own text
    // as the detail).
    void SaveActionExecute();
    // Writes the traffic log to `path`; false (after telling the technician) when it failed.
    bool SaveLogTo(const QString& path);

    // Runs the start-up sequence; the constructor calls it.
    void FormCreate();

    // The session journal and the kept calibration tables (in the user's state folder).
    SessionRecords& Records() { return *records_; }
    // "Сервис → Журнал сеансов…": the journal folder in the system's file manager.
    void ShowJournalFolder();
    // "Сервис → Восстановить тарировку…": the kept tables; the chosen one goes back into the
    // chosen channel and the calibration view is shown.
    void RestoreTableExecute();
    // "Сервис → Открыть лог-файл…" (Ctrl+O): a saved traffic log chosen by the technician.
    void OpenLogFileExecute();
    // Opens the log at `path` for playback: an open port is stopped first (as "Стоп"), the
    // console is cleared and the player strip shows. A file that cannot be played is reported
    // and changes nothing; false then.
    bool OpenLogFile(const QString& path);
    LogPlayerBarQt& Player() { return *player_; }
    // "Сервис → Найти в логе…" (Ctrl+F): the monitor view, the section "Данные" unfolded, the
    // search bar under the traffic log open for typing.
    void FindInLogExecute();
    // The trend windows, opened from the monitor view's values and "Сервис → Графики".
    TrendWindowsQt& Trends() { return *trends_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildLayout();
    QWidget* BuildBottomBar();
    // The system's own text, when there is one, is kept as the box's detail.
    void ShowUserError(const QString& text, const QString& systemText = QString());
    void Panel0Resized();
    void StartDemoHooks();
    void AddServiceItems();
    void ApplyOuterSize();
    // The design position where the whole window fits the free area of its screen, else centred
    // there, or maximised on a screen smaller than the minimum size.
    void PlaceOnScreen();
    // The driver's timer stops and the port closes: no line reaches the form after this.
    void StopReception();

    RegionalFormats formats_;
    SystemClock liveClock_;
    PlaybackClock clock_{liveClock_};  // a played log's recorded times while its lines arrive
    std::unique_ptr<TimerTickQt> ticks_;
    std::unique_ptr<TimerTickQt> watchTicks_;  // looks for a lost unit, times a silent one
    std::unique_ptr<MainForm> form_;
    std::unique_ptr<LogObserver> streamWatch_;  // frames at the streaming rate while lines arrive
    Subscription streamSubscription_;
    std::unique_ptr<SessionRecords> records_;  // after the form: closed before it goes
    QTimer* recordsPoll_ = nullptr;
    std::unique_ptr<DisplayBinderQt> binder_;
    std::string exePath_;
    QTabWidget* pages_ = nullptr;
    MonitorView* monitor_ = nullptr;
    MainMenuQt* menu_ = nullptr;
    CalibrationPage* calibration_ = nullptr;
    PortHotPlugQt* hotPlug_ = nullptr;
    LogPlayerBarQt* player_ = nullptr;
    TrendWindowsQt* trends_ = nullptr;
    bool shown_ = false;
};

}  // namespace rv
