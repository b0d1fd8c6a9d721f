#include "app/JournalFeed.h"

#include <algorithm>

#include "app/MainForm.h"
#include "text/Formats.h"

namespace rv {

JournalFeed::JournalFeed(MainForm& form, Journal& journal)
    : form_(form), journal_(journal), unitIdField_(form.Display().Field("LL_DN")) {
    sent_ = form_.Log().Count();
    logSubscription_ = form_.Subscribe(static_cast<LogObserver&>(*this));
    displaySubscription_ = form_.Display().Subscribe(static_cast<DisplayObserver&>(*this));
    connectionSubscription_ = form_.Connection().Subscribe(static_cast<ConnectionObserver&>(*this));
    LinkChanged();
}

void JournalFeed::LinkChanged() {
    const bool open = form_.Q().IsOpen();
    if (open) {
        std::string port = "COM" + IntText(form_.Q().Port());
        if (receiving_ && port == port_) return;  // the same reception goes on
        EndStretch();
        receiving_ = true;
        port_ = std::move(port);
        sent_ = form_.Log().Count();  // what was logged before the start is not this stretch's
        BeginStretch();
    } else if (receiving_) {
        receiving_ = false;
        EndStretch();
    }
}

void JournalFeed::LogCleared() {
    sent_ = 0;
    if (!receiving_) return;
    EndStretch();
    BeginStretch();
}

void JournalFeed::LogTruncated(std::size_t count) {
    // What the journal holds stays; the lines appended next are new to it.
    sent_ = std::min(sent_, count);
}

void JournalFeed::LinesAppended(std::size_t count) {
    if (count < sent_) sent_ = 0;  // cleared without being told: take the log as it is now
    if (!receiving_) {
        sent_ = count;
        return;
    }
    if (stretchDue_) {
        journal_.Start(stretchStart_, port_);
        stretchDue_ = false;
        stretchOpen_ = true;
        const std::string id = ShownUnitId();
        if (!id.empty()) journal_.SetUnitId(id);
    }
    buffer_.clear();
    form_.Log().AppendFileLines(sent_, buffer_);
    journal_.Append(buffer_);
    sent_ = count;
}

void JournalFeed::FieldChanged(int field) {
    if (field != unitIdField_ || !stretchOpen_) return;
    const std::string id = ShownUnitId();
    if (!id.empty()) journal_.SetUnitId(id);
}

void JournalFeed::BeginStretch() {
    stretchDue_ = true;
    stretchStart_ = form_.ClockSource().Now();
}

void JournalFeed::EndStretch() {
    stretchDue_ = false;
    if (!stretchOpen_) return;
    stretchOpen_ = false;
    journal_.Close();
}

std::string JournalFeed::ShownUnitId() const {
    const std::string& id = form_.Display().Text(unitIdField_);
    return id == "-" ? std::string() : id;  // "-": the idle display
}

}  // namespace rv
