#include "support/ScriptedSerialDevice.h"

#include <algorithm>
#include <cstring>

namespace rv::test {

bool ScriptedSerialDevice::Open(const std::string& path) {
    openedPaths_.push_back(path);
    const auto refused = refused_.find(path);
    open_ = refused == refused_.end();
    failure_ = open_ ? SerialFailure{} : refused->second;
    return open_;
}

bool ScriptedSerialDevice::Apply(const SerialLineSettings& settings) {
    if (!open_) return false;
    applied_.push_back(settings);
    return true;
}

std::int32_t ScriptedSerialDevice::Read(std::uint8_t* buffer, std::int32_t capacity) {
    if (!open_) return -1;
    if (failure_.kind == SerialFailureKind::Lost) return kSerialDeviceLost;
    readCapacities_.push_back(capacity);
    if (reads_.empty() || capacity <= 0) return 0;
    Chunk& next = reads_.front();
    if (next.loss) {
        reads_.pop_front();
        return Lose();
    }
    if (next.failure) {
        reads_.pop_front();
        return -1;
    }
    const auto count = static_cast<std::int32_t>(
        std::min<std::size_t>(next.bytes.size(), static_cast<std::size_t>(capacity)));
    std::memcpy(buffer, next.bytes.data(), static_cast<std::size_t>(count));
    next.bytes.erase(0, static_cast<std::size_t>(count));
    if (next.bytes.empty()) reads_.pop_front();
    return count;
}

std::int32_t ScriptedSerialDevice::Write(const std::uint8_t* data, std::int32_t size) {
    ++writeCalls_;
    if (open_ && (loseOnWrite_ || failure_.kind == SerialFailureKind::Lost)) {
        loseOnWrite_ = false;
        return Lose();
    }
    if (!open_ || writeFails_ || size < 0) return -1;
    const std::int32_t count = std::max<std::int32_t>(0, size - writeShortBy_);
    written_.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(count));
    return count;
}

std::int32_t ScriptedSerialDevice::Lose() {
    failure_ = {SerialFailureKind::Lost, {}, "scripted loss"};
    return kSerialDeviceLost;
}

void ScriptedSerialDevice::Close() {
    ++closeCalls_;
    open_ = false;
}

}  // namespace rv::test
