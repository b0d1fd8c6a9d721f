#include "app/SessionRecords.h"

#include "app/MainForm.h"

namespace rv {

SessionRecords::SessionRecords(MainForm& form, Options options) : form_(form) {
    const StateSubfolder journal = EnsureStateSubfolder(kJournalFolder, options.environment);
    if (!journal.error.empty()) {
        form_.PostReport(report_topic::kJournal, "Журнал сеансов не ведётся: " + journal.error,
                         ReportLevel::Error);
    } else {
        journalFolder_ = journal.path;
        Journal::Options o;
        o.folder = journal.path;
        o.flushInterval = options.flushInterval;
        ApplyRetention(o.folder, ".log", o.now(), o.limits);
        journal_ = std::make_unique<Journal>(std::move(o));
        feed_ = std::make_unique<JournalFeed>(form_, *journal_);
    }

    const StateSubfolder kept = EnsureStateSubfolder(kCalibrationFolder, options.environment);
    if (!kept.error.empty()) {
        form_.PostReport(report_topic::kKeptTables,
                         "Тарировочные таблицы не сохраняются для восстановления: " + kept.error,
                         ReportLevel::Error);
    } else {
        keeper_ = std::make_unique<CalibrationKeeper>(
            form_.Calibration(), form_.Display(), form_.ClockSource(), kept.path,
            [this](const std::string& error) {
                form_.PostReport(report_topic::kKeptTables,
                                 "Тарировочная таблица не сохранена для восстановления: " + error,
                                 ReportLevel::Error);
            });
    }
}

SessionRecords::~SessionRecords() {
    feed_.reset();
    journal_.reset();  // closes the stretch and waits for the writer
}

void SessionRecords::Poll() {
    if (!journal_) return;
    if (auto failure = journal_->TakeFailure())
        form_.PostReport(report_topic::kJournal, std::move(*failure), ReportLevel::Error);
}

std::optional<std::filesystem::path> SessionRecords::JournalFolder() const {
    return journalFolder_;
}

std::optional<std::filesystem::path> SessionRecords::CalibrationFolder() const {
    if (!keeper_) return std::nullopt;
    return keeper_->Folder();
}

std::vector<KeptTable> SessionRecords::KeptTables() const {
    return keeper_ ? keeper_->KeptTables() : std::vector<KeptTable>{};
}

void SessionRecords::Restore(int channel, const KeptTableState& kept) {
    if (keeper_) {
        keeper_->Restore(channel, kept);
    } else {
        form_.Calibration().RestoreChannel(channel, kept);
    }
}

}  // namespace rv
