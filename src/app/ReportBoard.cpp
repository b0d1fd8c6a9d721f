#include "app/ReportBoard.h"

#include <algorithm>

namespace rv {

void ReportBoard::Post(std::string_view topic, std::string text, ReportLevel level,
                       std::string timeText) {
    std::erase_if(standing_, [topic](const Report& r) { return r.topic == topic; });
    Report report{std::string(topic), std::move(text), level, std::move(timeText)};
    if (history_.size() == kHistoryLength) history_.erase(history_.begin());
    history_.push_back(report);
    standing_.push_back(std::move(report));
    observers_.Notify(&ReportObserver::ReportsChanged);
}

void ReportBoard::Revise(std::string_view topic, std::string text) {
    const auto standing = std::find_if(standing_.begin(), standing_.end(),
                                       [topic](const Report& r) { return r.topic == topic; });
    if (standing == standing_.end() || standing->text == text) return;
    const auto entry = std::find(history_.rbegin(), history_.rend(), *standing);
    if (entry != history_.rend()) entry->text = text;
    standing->text = std::move(text);
    observers_.Notify(&ReportObserver::ReportsChanged);
}

void ReportBoard::Withdraw(std::string_view topic) {
    if (std::erase_if(standing_, [topic](const Report& r) { return r.topic == topic; }) == 0)
        return;
    observers_.Notify(&ReportObserver::ReportsChanged);
}

const Report* ReportBoard::Current() const {
    return standing_.empty() ? nullptr : &standing_.back();
}

const Report* ReportBoard::Standing(std::string_view topic) const {
    const auto it = std::find_if(standing_.begin(), standing_.end(),
                                 [topic](const Report& r) { return r.topic == topic; });
    return it == standing_.end() ? nullptr : &*it;
}

}  // namespace rv
