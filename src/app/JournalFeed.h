#pragma once
// Feeds the session journal from the running console: the traffic log's new lines go to the
// journal in the bytes the log save writes for them; a stretch of reception (one journal file)
// begins when a port is started and after every clear of the log, and ends when the port stops;
// the file is named after the unit once its ID is shown.
//
// A stretch's file is made with its first line, so a port that stays silent or a clear right
// before another leaves no empty file behind.

#include <cstddef>
#include <string>

#include "app/Console.h"
#include "base/ObserverList.h"
#include "files/Journal.h"
#include "protocol/DisplayModel.h"
#include "serial/ConnectionControl.h"

namespace rv {

class MainForm;

class JournalFeed : private LogObserver, private DisplayObserver, private ConnectionObserver {
  public:
    JournalFeed(MainForm& form, Journal& journal);
    JournalFeed(const JournalFeed&) = delete;
    JournalFeed& operator=(const JournalFeed&) = delete;

  private:
    void LinesAppended(std::size_t count) override;
    void LogCleared() override;
    void LogTruncated(std::size_t count) override;
    void FieldChanged(int field) override;
    void LinkChanged() override;

    void BeginStretch();
    void EndStretch();
    // The unit ID the display shows, or nothing while it shows none.
    std::string ShownUnitId() const;

    MainForm& form_;
    Journal& journal_;
    const int unitIdField_;
    bool receiving_ = false;   // a port is open
    std::string port_;         // "COM9"
    bool stretchDue_ = false;  // a stretch has begun, its file waits for the first line
    bool stretchOpen_ = false;
    LocalDateTime stretchStart_{};
    std::size_t sent_ = 0;  // log lines already handed to the journal
    std::string buffer_;    // reused, so a line costs no allocation
    Subscription logSubscription_;
    Subscription displaySubscription_;
    Subscription connectionSubscription_;
};

}  // namespace rv
