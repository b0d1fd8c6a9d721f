#include "calibration/Recorder.h"

#include "calibration/TarChecks.h"

#include <algorithm>

#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {
namespace {

constexpr std::size_t kPrefixLength = 7;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

TarTitleLayout UpdateTarTitle(int a, int b, int w, int panStatWidth) {
    const int col = (w - a - b) / 3;  // C++ division truncates towards zero
    TarTitleLayout l;
    l.t1 = a - 2;
    l.t2 = col - 2;
    l.t3 = col - 4;
    l.t4 = col - 4;
    l.pd1 = a - 2;
    l.pd2 = col;
    l.pd3 = col;
    l.pd4Width = col - 1;
    l.pd4Left = a + 1 + 2 * col;
    l.cmdSWidth = panStatWidth - a - 3 * col - 1;
    return l;
}

TarRowLayout ResizeTarRow(int rowWidth, int noCellWidth, int delButtonWidth, int panStatWidth) {
    const int col = (rowWidth - noCellWidth - delButtonWidth) / 3;
    TarRowLayout l;
    l.timeWidth = col;
    l.valueWidth = col;
    l.title = UpdateTarTitle(noCellWidth, kTarActionCellWidth, rowWidth, panStatWidth);
    return l;
}

int panComNResize(int panComWidth) {
    return panComWidth - 95;
}

const std::string& Recorder::Channel::ComboText() const {
    static const std::string kNone;
    if (itemIndex < 0 || static_cast<std::size_t>(itemIndex) >= items.size()) return kNone;
    return items[static_cast<std::size_t>(itemIndex)];
}

const std::string& Recorder::Placeholder() {
    static const std::string kPlaceholder = W("выбрать");
    return kPlaceholder;
}

Recorder::Recorder(const DisplayModel& display, const Clock& clock, const RegionalFormats& formats)
    : display_(display), clock_(clock), formats_(formats), unitIdField_(display.Field("LL_DN")) {
    static const std::string kAnalogue = W("IN0 (ан");
    static const std::string kFrequency = W("IN0 (ча");
    static const std::string kLevel = W("LLS0 (у");
    static const std::string kLevelFrequency = W("LLS0 (ч");
    for (char i = '0'; i <= '5'; ++i) {
        const int input = display.Field(std::string("LL_I") + i);
        std::string a = kAnalogue, f = kFrequency;
        a[2] = f[2] = i;
        prefixes_.push_back({a, input});
        prefixes_.push_back({f, input});
    }
    for (char i = '0'; i <= '5'; ++i) {
        std::string y = kLevel, z = kLevelFrequency;
        y[3] = z[3] = i;
        prefixes_.push_back({y, display.Field(std::string("LL_LS") + i + "Y")});
        prefixes_.push_back({z, display.Field(std::string("LL_LS") + i + "Z")});
    }
    for (int row = 0; row < 6; ++row) {
        fuelCaptionFields_[static_cast<std::size_t>(row)] =
            display.Field(std::string("LLS") + static_cast<char>('0' + row));
    }
    for (Channel& c : channels_) {
        c.items = {Placeholder()};
        c.itemIndex = 0;
        c.tarName = Placeholder();
    }
}

std::string Recorder::TimeText() const {
    return HhNnSsText(clock_.Now(), formats_);
}

void Recorder::SendTarDat(std::string_view index, std::string_view kind, std::string_view value) {
    static const std::string kAnalogue = W(" (аналоговый)");
    static const std::string kFrequency = W(" (частотный)");
    static const std::string kLevel = W(" (уровень)");
    static const std::string kLevelFrequency = W(" (частота)");
    if (kind.empty()) return;
    const std::string* suffix = nullptr;
    const char* group = nullptr;
    switch (kind[0]) {
        case 'A':
            group = "IN", suffix = &kAnalogue;
            break;
        case 'F':
            group = "IN", suffix = &kFrequency;
            break;
        case 'Y':
            group = "LLS", suffix = &kLevel;
            break;
        case 'Z':
            group = "LLS", suffix = &kLevelFrequency;
            break;
        default:
            return;
    }
    nameBuf_.assign(group).append(index).append(*suffix);
    UpdateTarDat(nameBuf_, value);
}

void Recorder::UpdateTarDat(std::string_view name, std::string_view value) {
    tarList_.Add(name);
    // The settle watches follow every reading, also while a typed level freezes the entry row.
    const std::int64_t nowMs = MillisecondsOf(clock_.Now());
    for (int n = 1; n <= kTarChannels; ++n) {
        if (channels_[Slot(n)].ComboText() == name) settle_[Slot(n)].Observe(value, nowMs);
    }
    std::string time;
    for (int n = 1; n <= kTarChannels; ++n) {
        Channel& c = channels_[Slot(n)];
        if (c.ComboText() != name) continue;
        // A level typed against a reading freezes the entry row; a level typed before any
        // reading waits for this one.
        if (c.CmdSVisible()) return;
        if (time.empty()) time = TimeText();
        c.pd2 = time;
        c.pd3.assign(value);
        observers_.Notify(&RecorderObserver::EntryRowChanged, n);
    }
}

SettleState Recorder::Settle(int n) const {
    if (!Valid(n)) return {};
    return settle_[Slot(n)].StateAt(MillisecondsOf(clock_.Now()));
}

std::string Recorder::LoadTarDatValue(std::string_view name) const {
    const std::string_view head = name.substr(0, std::min(name.size(), kPrefixLength));
    for (const Prefix& p : prefixes_) {
        if (head == p.text) return display_.Text(p.field);
    }
    return {};
}

std::size_t RecorderSnapshot::Bytes() const {
    std::size_t bytes = sizeof(*this) + sources.capacity() * sizeof(std::string);
    const auto heap = [](const std::string& s) {
        return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0;
    };
    for (const std::string& s : sources) bytes += heap(s);
    for (const Entry& e : channels) bytes += heap(e.source) + heap(e.time) + heap(e.reading);
    return bytes;
}

RecorderSnapshot Recorder::Snapshot() const {
    RecorderSnapshot s;
    s.sources.assign(tarList_.begin(), tarList_.end());
    for (int n = 1; n <= kTarChannels; ++n) {
        const Channel& c = channels_[Slot(n)];
        RecorderSnapshot::Entry& e = s.channels[Slot(n)];
        e.source = c.ComboText();
        e.time = c.pd2;
        e.reading = c.pd3;
        e.settle = settle_[Slot(n)];
    }
    return s;
}

void Recorder::Restore(const RecorderSnapshot& snapshot) {
    tarList_.Clear();
    for (const std::string& name : snapshot.sources) tarList_.Add(name);
    const std::int64_t nowMs = MillisecondsOf(clock_.Now());
    for (int n = 1; n <= kTarChannels; ++n) {
        Channel& c = channels_[Slot(n)];
        if (c.itemIndex <= 0) continue;  // no source: readings change nothing here
        tarList_.Add(c.ComboText());
        const RecorderSnapshot::Entry& e = snapshot.channels[Slot(n)];
        SettleWatch& settle = settle_[Slot(n)];
        std::string time = e.time;
        std::string reading = e.reading;
        if (c.ComboText() == e.source) {
            settle = e.settle;
        } else {
            reading = LoadTarDatValue(c.tarName);
            time = TimeText();
            settle.Reset();
            settle.Observe(reading, nowMs);
        }
        if (c.CmdSVisible() || (c.pd2 == time && c.pd3 == reading)) continue;
        c.pd2 = std::move(time);
        c.pd3 = std::move(reading);
        observers_.Notify(&RecorderObserver::EntryRowChanged, n);
    }
}

void Recorder::InitTar() {
    tarList_.Clear();
    for (int n = 1; n <= kTarChannels; ++n) {
        Channel& c = channels_[Slot(n)];
        if (c.items.empty()) c.items = {Placeholder()};
        c.itemIndex = 0;
        c.tarName = c.ComboText();
        c.panStatEnabled = false;
        observers_.Notify(&RecorderObserver::SourceListChanged, n);
        ClearTarDat(n);
    }
}

void Recorder::ClearTarDat(int n) {
    if (!Valid(n)) return;
    Channel& c = channels_[Slot(n)];
    settle_[Slot(n)].Reset();
    c.rows.clear();
    c.rows.shrink_to_fit();
    c.visibleRows = 0;
    c.pd1.clear();
    c.pd2.clear();
    c.pd3.clear();
    c.pd4.clear();
    c.comment.clear();
    c.exportVisible = false;
    observers_.Notify([n](RecorderObserver& o) {
        o.ChannelCleared(n);
        o.EntryRowChanged(n);
        o.ExportButtonChanged(n);
    });
}

void Recorder::AddTarPanel(int n, std::string_view level, std::string_view value,
                           std::string_view time) {
    if (!Valid(n)) return;
    Channel& c = channels_[Slot(n)];
    TarRow row;
    row.number = IntText(static_cast<std::int64_t>(c.visibleRows) + 1);
    row.time.assign(time);
    row.value.assign(value);
    row.level.assign(level);
    c.rows.push_back(std::move(row));
    ++c.visibleRows;
    const std::size_t index = c.rows.size() - 1;
    observers_.Notify(&RecorderObserver::RowAdded, n, index);
}

std::size_t Recorder::RenumberTarRows(int n) {
    if (!Valid(n)) return 0;
    Channel& c = channels_[Slot(n)];
    std::size_t count = 0;
    for (TarRow& row : c.rows) {
        if (!row.visible) continue;
        ++count;
        row.number = IntText(static_cast<std::int64_t>(count));
    }
    c.visibleRows = count;
    return count;
}

void Recorder::ClickDel(int n, std::size_t index) {
    if (!Valid(n)) return;
    Channel& c = channels_[Slot(n)];
    if (index >= c.rows.size() || !c.rows[index].visible) return;
    c.rows[index].visible = false;
    const std::size_t count = RenumberTarRows(n);
    c.exportVisible = count > 0;
    observers_.Notify([n, index](RecorderObserver& o) {
        o.RowHidden(n, index);
        o.ExportButtonChanged(n);
    });
}

void Recorder::cmbDatNChange(int n, int index) {
    if (!Valid(n)) return;
    Channel& c = channels_[Slot(n)];
    if (index < 0 || static_cast<std::size_t>(index) >= c.items.size()) return;
    if (c.itemIndex != index) {
        c.itemIndex = index;
        observers_.Notify(&RecorderObserver::SourceListChanged, n);
    }
    c.panStatEnabled = index > 0;
    observers_.Notify(&RecorderObserver::EntryRowChanged, n);
    if (c.ComboText() == c.tarName) return;  // the same source again: the table stays
    ClearTarDat(n);
    c.tarName = c.ComboText();
    c.pd3 = LoadTarDatValue(c.tarName);
    c.pd2 = index == 0 ? std::string() : TimeText();
    if (index != 0) settle_[Slot(n)].Observe(c.pd3, MillisecondsOf(clock_.Now()));
    observers_.Notify(&RecorderObserver::EntryRowChanged, n);
}

void Recorder::cmbDatNDropDown(int n) {
    if (!Valid(n)) return;
    Channel& c = channels_[Slot(n)];
    c.items.assign(1, Placeholder());
    for (const std::string& name : tarList_) {
        bool taken = false;
        for (int other = 1; other <= kTarChannels && !taken; ++other) {
            taken = other != n && channels_[Slot(other)].ComboText() == name;
        }
        if (!taken) c.items.push_back(name);
    }
    const auto it = std::find(c.items.begin(), c.items.end(), c.tarName);
    c.itemIndex = it == c.items.end() ? -1 : static_cast<int>(it - c.items.begin());
    observers_.Notify(&RecorderObserver::SourceListChanged, n);
}

bool Recorder::pdN4KeyPress(char key) {
    return IsDigit(key) || key == 8;
}

void Recorder::pdN4Change(int n, std::string_view text) {
    if (!Valid(n)) return;
    Channel& c = channels_[Slot(n)];
    c.pd4.clear();
    for (char ch : text) {
        if (IsDigit(ch)) c.pd4 += ch;
    }
    observers_.Notify(&RecorderObserver::EntryRowChanged, n);
}

void Recorder::cmdSNClick(int n) {
    if (!Valid(n)) return;
    Channel& c = channels_[Slot(n)];
    // "Сохранить" only shows while a source is selected, a reading shown and a level typed; a row
    // without either would be worthless in the table.
    if (!c.panStatEnabled || !c.CmdSVisible()) return;
    const std::string time = c.pd2;
    const std::string value = c.pd3;
    const std::string level = c.pd4;
    AddTarPanel(n, level, value, time);
    c.exportVisible = true;
    c.pd2.clear();
    c.pd3.clear();
    c.pd4.clear();
    observers_.Notify([n](RecorderObserver& o) {
        o.ExportButtonChanged(n);
        o.EntryRowChanged(n);
    });
}

void Recorder::SetComment(int n, std::string_view text) {
    if (!Valid(n)) return;
    std::string& comment = channels_[Slot(n)].comment;
    if (comment == text) return;
    comment.assign(text);
    observers_.Notify(&RecorderObserver::CommentChanged, n);
}

void Recorder::RestoreChannel(int n, const KeptTableState& kept) {
    if (!Valid(n)) return;
    ClearTarDat(n);
    Channel& c = channels_[Slot(n)];
    const bool placeholder = kept.sourceName.empty() || kept.sourceName == Placeholder();
    if (!placeholder) tarList_.Add(kept.sourceName);
    c.items.assign(1, Placeholder());
    if (!placeholder) c.items.push_back(kept.sourceName);
    c.itemIndex = placeholder ? 0 : 1;
    c.tarName = c.ComboText();
    c.panStatEnabled = !placeholder;
    c.rows = kept.rows;
    c.visibleRows = 0;
    for (const TarRow& row : c.rows) c.visibleRows += row.visible ? 1 : 0;
    c.exportVisible = c.visibleRows > 0;
    c.comment = kept.comment;
    c.pd3 = placeholder ? std::string() : LoadTarDatValue(c.tarName);
    c.pd2 = placeholder ? std::string() : TimeText();
    observers_.Notify([n, &c](RecorderObserver& o) {
        o.SourceListChanged(n);
        for (std::size_t i = 0; i < c.rows.size(); ++i) o.RowAdded(n, i);
        o.CommentChanged(n);
        o.EntryRowChanged(n);
        o.ExportButtonChanged(n);
    });
}

TarImportResult Recorder::ImportTarFile(int n, std::string_view bytes) {
    TarImportResult result = ParseTarTable(bytes, formats_.decimalSeparator);
    if (!result.ok || !Valid(n)) return result;
    KeptTableState kept;
    kept.channel = n;
    kept.unitId = result.table.unitId;
    kept.sourceName = result.table.sourceName;
    kept.sensorAddress = SensorAddressOf(kept.sourceName);
    kept.rows = result.table.rows;
    kept.comment = result.table.comment;
    kept.firstChange = kept.lastChange = clock_.Now();
    RestoreChannel(n, kept);
    return result;
}

std::string Recorder::SensorAddressOf(std::string_view sourceName) const {
    // "LLS" + row digit + " (": the fuel-level sources; the row's caption is "<address>:".
    if (sourceName.size() < 6 || sourceName.substr(0, 3) != "LLS" || sourceName[3] < '0' ||
        sourceName[3] > '5' || sourceName.substr(4, 2) != " (")
        return {};
    const std::string& caption =
        display_.Text(fuelCaptionFields_[static_cast<std::size_t>(sourceName[3] - '0')]);
    if (caption.empty() || caption.back() != ':') return {};
    return caption.substr(0, caption.size() - 1);
}

std::optional<TarTitleLayout> Recorder::panStatNResize(int n, int panStatWidth) const {
    if (!Valid(n) || channels_[Slot(n)].visibleRows > 0) return std::nullopt;
    return UpdateTarTitle(kTarNoCellWidth, kTarActionCellWidth, panStatWidth, panStatWidth);
}

SaveTxtResult Recorder::SaveTarFile(int n, TarExportTarget& target, const std::string& exePath) {
    if (!Valid(n)) return {};
    const Channel& c = channels_[Slot(n)];
    const LocalDateTime now = clock_.Now();
    TarTableData data;
    data.unitId = display_.Text(unitIdField_);
    data.dateTimeText = DateTimeText(now, formats_);
    data.sourceName = c.ComboText();
    data.rows = &c.rows;
    data.comment = c.comment;
    SaveTxtResult result =
        SaveTXT(data, now, exePath, target, TarExportWarnings(c.rows), formats_.decimalSeparator);
    if (result.status == TarExportStatus::Written) cmbDatNChange(n, 0);
    return result;
}

}  // namespace rv
