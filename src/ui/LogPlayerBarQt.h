#pragma once
// The player strip: shown only while a saved traffic log is open in the window. Play and pause,
// the speed (1×, 10×, 100×, as fast as possible), a slider over the file's lines with the recorded
// time of the moment shown, the line counter, and close. A port started again ends the playback.

#include <QWidget>
#include <memory>

#include "app/LogPlayer.h"
#include "app/MainForm.h"
#include "base/ObserverList.h"
#include "serial/ConnectionControl.h"

class QComboBox;
class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace rv {

class LogPlayerBarQt : public QWidget, private ConnectionObserver {
  public:
    // The form's clock must be `clock`.
    LogPlayerBarQt(MainForm& form, PlaybackClock& clock, QWidget* parent);
    ~LogPlayerBarQt() override;

    // Shows the strip over `file`, the console cleared and paused at the file's start.
    void Start(LogFile file);
    // Ends the playback: the strip hides; the console keeps what it shows.
    void Close();
    bool Playing() const { return timer_ != nullptr && playing_; }
    bool HasFile() const { return player_ != nullptr; }
    const LogPlayer* Player() const { return player_.get(); }

    // One step of the playback clock: plays the lines recorded within `elapsedMs` at the chosen
    // speed (the timer calls it; tests call it for a step of their own).
    void Advance(int elapsedMs);

  private:
    void LinkChanged() override;
    void SetPlaying(bool playing);
    void SeekTo(int position);
    void ShowPosition();

    MainForm& form_;
    PlaybackClock& clock_;
    std::unique_ptr<LogFile> file_;
    std::unique_ptr<LogPlayer> player_;
    Subscription linkSubscription_;
    QTimer* timer_ = nullptr;
    QToolButton* play_ = nullptr;
    QComboBox* speed_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* lines_ = nullptr;
    bool playing_ = false;
    bool showing_ = false;  // the slider is moved by the playback, not by the technician
    double budgetMs_ = 0;   // recorded time the playback may still cover
};

}  // namespace rv
