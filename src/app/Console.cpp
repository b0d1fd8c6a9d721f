#include "app/Console.h"

#include "text/ByteSizeText.h"

namespace rv {

Console::Console(const RegionalFormats& formats, const Clock& clock,
                 std::function<void(const std::string& message)> reportDecodeError)
    : formats_(formats),
      clock_(clock),
      recorder_(display_, clock, formats),
      replies_(
          display_, formats, recorder_, [this] { StatClearExecute(); },
          std::move(reportDecodeError)),
      pinField_(display_.Field("LL_PIN")) {}

Console::~Console() = default;

void Console::QReceiveData(const std::uint8_t* data, std::int32_t size) {
    const std::string_view block = size > 0 ? std::string_view(reinterpret_cast<const char*>(data),
                                                               static_cast<std::size_t>(size))
                                            : std::string_view();
    const DisplayModel::Batch batch(display_);  // the display hears of the block once, at its end
    receivedBytes_ += size > 0 ? size : 0;
    ShowReceivedBytes();
    log_.WriteLog(block, clock_.Now());
    logObservers_.Notify(&LogObserver::LinesAppended, log_.Count());
    replies_.Decode(block);
}

void Console::ShowReceivedBytes() {
    display_.SetV(pinField_, ByteSizeText(receivedBytes_, formats_), kGrey);
}

void Console::StatClearExecute() {
    display_.ClearDisplay();
    log_.Clear();
    logObservers_.Notify(&LogObserver::LogCleared);
    recorder_.InitTar();
}

}  // namespace rv
