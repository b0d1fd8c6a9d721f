#pragma once
// What the bottom bar's report strip says: short, non-modal reports of things the technician did
// not ask for (a field the unit sent that cannot be read, a lost link, a journal that cannot be
// written, a silent unit). Each report belongs to a topic; a newer report of a topic replaces the
// older one, and a topic can be withdrawn when its state is over (the unit speaks again). The strip
// shows the newest report still standing, and keeps the recent ones for its tooltip.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/ObserverList.h"

namespace rv {

enum class ReportLevel { Notice, Error };

struct Report {
    std::string topic;
    std::string text;  // UTF-8
    ReportLevel level = ReportLevel::Notice;
    std::string timeText;  // "HH:MM:SS" of the report, for the history

    bool operator==(const Report&) const = default;
};

class ReportObserver {
  public:
    virtual ~ReportObserver() = default;
    virtual void ReportsChanged() = 0;
};

// Well-known topics; a subsystem may use its own.
namespace report_topic {
inline constexpr std::string_view kDecoding = "decoding";  // a field that cannot be read
inline constexpr std::string_view kPorts = "ports";        // the port list
inline constexpr std::string_view kStartup = "startup";    // the start-up sequence
inline constexpr std::string_view kLink = "link";          // link lost, back, will not open
inline constexpr std::string_view kSilence = "silence";    // the unit has said nothing for a while
inline constexpr std::string_view kJournal = "journal";    // the session journal
inline constexpr std::string_view kSend = "send";          // a command that could not be sent
}  // namespace report_topic

class ReportBoard {
  public:
    static constexpr std::size_t kHistoryLength = 20;

    // Posts (or replaces) the report of `topic`.
    void Post(std::string_view topic, std::string text, ReportLevel level, std::string timeText);
    // Changes the text of the standing report of `topic` (and of its history entry) without
    // making it a new report: for a state that is still the same, told more exactly (how long
    // the unit has been silent). Nothing when none stands.
    void Revise(std::string_view topic, std::string text);
    // Takes the report of `topic` off the strip (the history keeps it); nothing when none stands.
    void Withdraw(std::string_view topic);

    // The newest report still standing, or nullptr when the strip is empty.
    const Report* Current() const;
    // The report of `topic` still standing, or nullptr.
    const Report* Standing(std::string_view topic) const;
    // The most recent reports, oldest first, withdrawn ones included (at most kHistoryLength).
    const std::vector<Report>& History() const { return history_; }

    Subscription Subscribe(ReportObserver& observer) { return observers_.Subscribe(observer); }

  private:
    std::vector<Report> standing_;  // oldest first
    // One block for the whole history: posting a report allocates its texts and nothing else.
    std::vector<Report> history_;
    ObserverList<ReportObserver> observers_;
};

}  // namespace rv
