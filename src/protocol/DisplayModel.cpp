#include "protocol/DisplayModel.h"

#include <algorithm>
#include <stdexcept>

#include "text/Cp1251.h"

namespace rv {
namespace {

const char* const kDesignText = "---";

bool HasDisplayPrefix(const std::string& name) {
    return name.rfind("LL_", 0) == 0;
}

}  // namespace

DisplayModel::DisplayModel() {
    fields_.reserve(kFieldsReserved);
    const auto& sensorRows = SensorRows();
    rowOpen_.assign(sensorRows.size(), 1);
    for (std::size_t i = 0; i < sensorRows.size(); ++i) {
        rowByNumber_[sensorRows[i].number] = static_cast<int>(i);
        if (sensorRows[i].kind == SensorRowKind::ColumnTitles)
            columnTitleRow_ = static_cast<int>(i);
    }
    groupsOfRow_.resize(sensorRows.size());
    for (const auto& group : SensorGroups()) {
        for (const int number : group.valueRows) {
            const auto row = rowByNumber_.find(number);
            if (row != rowByNumber_.end())
                groupsOfRow_[row->second].push_back(static_cast<int>(headerRowOfGroup_.size()));
        }
        headerRowOfGroup_.push_back(rowByNumber_[group.header]);
    }

    for (const auto& section : MonitorSections()) {
        for (const auto& row : section.rows) {
            if (row.captionName)
                AddField(row.captionName, FieldKind::Label, 0, -1, W(row.caption), kGrey);
            if (row.field) AddField(row.field, row.fieldKind, 0, -1, kDesignText);
        }
        switch (section.body) {
            case SectionBody::Rows:
                break;
            case SectionBody::SensorArea:
                for (std::size_t i = 0; i < sensorRows.size(); ++i) {
                    const auto& r = sensorRows[i];
                    const int row = static_cast<int>(i);
                    if (r.captionName) AddField(r.captionName, FieldKind::Label, 0, -1, ":", kGrey);
                    for (const char* f : {r.field, r.field2, r.field3}) {
                        if (f) AddField(f, FieldKind::Label, 1, row, kDesignText);
                    }
                }
                break;
            case SectionBody::Settings:
                AddField("LL_SP", FieldKind::MaskedEdit, 0, -1, "    ");
                AddField("LL_SP2", FieldKind::MaskedEdit, 0, -1, "    ");
                for (const char* f :
                     {"LL_SS01", "LL_SS11", "LL_SS21", "LL_SS02", "LL_SS12", "LL_SS22"}) {
                    AddField(f, FieldKind::MaskedEdit, 0, -1, "");
                }
                break;
            case SectionBody::Data:
                AddField("LL_PIN", FieldKind::Label, 0, -1, kDesignText);
                break;
        }
    }

    // Every display model has the same fields in the same order, taken from the fixed plan: the
    // name index and what the clear touches are worked out once, with the first model, rather
    // than for every console made or by name on every clear.
    static const Index index = BuildIndex(fields_);
    index_ = &index;
    marks_.assign(fields_.size(), kChangedSinceClear);  // every field shows its design text
    changedSinceClear_.reserve(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i)
        changedSinceClear_.push_back(static_cast<int>(i));
}

DisplayModel::Index DisplayModel::BuildIndex(const std::vector<FieldState>& fields) {
    Index index;
    index.idleOf.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldState& f = fields[i];
        index.byName.emplace(f.name, static_cast<int>(i));
        if (f.kind != FieldKind::MaskedEdit && HasDisplayPrefix(f.name)) {
            index.idleOf[i].kind = IdleRule::Kind::Dash;
            const bool collapsible = f.kind == FieldKind::Label && f.tag == 1 && f.sensorRow >= 0;
            if (collapsible && std::find(index.foldedRows.begin(), index.foldedRows.end(),
                                         f.sensorRow) == index.foldedRows.end())
                index.foldedRows.push_back(f.sensorRow);
        }
    }
    const auto caption = [&index](const std::string& name, std::string text) {
        index.idleOf[index.byName.at(name)] = {IdleRule::Kind::Caption, std::move(text)};
    };
    for (char digit = '0'; digit <= '5'; ++digit)
        caption(std::string("LL") + digit, std::string{digit, ':'});
    const std::string freeRow = ":";  // the caption of a sensor row no address has taken
    for (char digit = '0'; digit <= '5'; ++digit) {
        caption(std::string("LLOWT") + digit, freeRow);
        caption(std::string("LLS") + digit, freeRow);
    }
    return index;
}

int DisplayModel::AddField(const char* name, FieldKind kind, int tag, int sensorRow,
                           std::string text, Colour colour) {
    const int index = static_cast<int>(fields_.size());
    fields_.push_back(FieldState{name, kind, tag, sensorRow, std::move(text), colour, {}, {}});
    return index;
}

int DisplayModel::Find(std::string_view name) const {
    auto it = index_->byName.find(std::string(name));
    return it == index_->byName.end() ? -1 : it->second;
}

int DisplayModel::Field(std::string_view name) const {
    const int index = Find(name);
    if (index < 0) throw std::logic_error("no display field " + std::string(name));
    return index;
}

void DisplayModel::NotifyField(int field) {
    if (!(marks_[field] & kChangedSinceClear)) {
        marks_[field] |= kChangedSinceClear;
        changedSinceClear_.push_back(field);
    }
    TellField(field);
}

void DisplayModel::TellField(int field) {
    if (batchDepth_ > 0) {
        if (!(marks_[field] & kHeld)) {
            marks_[field] |= kHeld;
            held_.push_back(field);
        }
        return;
    }
    observers_.Notify(&DisplayObserver::FieldChanged, field);
}

void DisplayModel::EndBatch() {
    if (--batchDepth_ > 0) return;
    // An observer may write the model while it is told: its writes are told at once.
    std::vector<int> held;
    held.swap(held_);
    for (int field : held) marks_[field] &= ~kHeld;
    for (int field : held) observers_.Notify(&DisplayObserver::FieldChanged, field);
    if (held_.empty()) {  // keeps the list's room for the next block
        held.clear();
        held_.swap(held);
    }
}

void DisplayModel::SetV(int field, std::string_view text, Colour colour) {
    FieldState& f = fields_[field];
    if (f.kind == FieldKind::MaskedEdit) {
        StoreMasked(field, text);
        return;
    }
    // Replies repeat most values unchanged; only a change is worth telling the window.
    const bool changed = f.colour != colour || f.text != text;
    if (changed) {
        f.colour = colour;
        f.text.assign(text.data(), text.size());
        NotifyField(field);
    }
    if (tap_ != nullptr) tap_->ValueWritten(field, f.text, changed);
    if (f.kind == FieldKind::Label && f.tag == 1 && f.sensorRow >= 0 && !rowOpen_[f.sensorRow]) {
        SetSensorRowOpen(f.sensorRow, true);
        SetLabelNo(false);
        ScbCDatResize();
    }
}

void DisplayModel::SetCaption(int field, std::string_view text) {
    if (fields_[field].text == text) return;
    fields_[field].text.assign(text.data(), text.size());
    NotifyField(field);
}

void DisplayModel::SetMaskedText(int field, std::string_view text) {
    StoreMasked(field, text);
}

void DisplayModel::StoreMasked(int field, std::string_view text) {
    FieldState& f = fields_[field];
    f.text = f.mask ? f.mask(text) : std::string(text);
    NotifyField(field);
    if (f.onChange) f.onChange(field);
}

void DisplayModel::SetFieldColour(int field, Colour colour) {
    fields_[field].colour = colour;
    NotifyField(field);
}

void DisplayModel::SetMask(int field, std::function<std::string(std::string_view)> mask) {
    fields_[field].mask = std::move(mask);
}

void DisplayModel::SetChangeHandler(int field, std::function<void(int)> handler) {
    fields_[field].onChange = std::move(handler);
}

void DisplayModel::SetBar(Bar bar, int position) {
    const int clamped = std::clamp(position, 0, BarMaximum(bar));
    bars_[static_cast<int>(bar)] = clamped;
    observers_.Notify(&DisplayObserver::BarChanged, bar);
}

void DisplayModel::SetSensorRowOpen(int sensorRow, bool open) {
    if (SensorRowOpen(sensorRow) == open) return;
    rowOpen_[sensorRow] = open ? 1 : 0;
    observers_.Notify(&DisplayObserver::SensorRowOpenChanged, sensorRow);
}

int DisplayModel::SensorRowIndex(int panelNumber) const {
    auto it = rowByNumber_.find(panelNumber);
    return it == rowByNumber_.end() ? -1 : it->second;
}

void DisplayModel::SetLabelNo(bool visible) {
    if (labelNoVisible_ == visible) return;
    labelNoVisible_ = visible;
    observers_.Notify(&DisplayObserver::LabelNoChanged, visible);
}

void DisplayModel::ScbCDatResize() {
    const auto& groups = SensorGroups();
    bool anyShown = false;
    for (std::size_t i = 0; i < rowOpen_.size(); ++i) {
        if (!rowOpen_[i]) continue;
        anyShown = true;
        for (const int g : groupsOfRow_[i]) {
            const int header = headerRowOfGroup_[g];
            if (rowOpen_[header]) continue;
            SetSensorRowOpen(header, true);
            if (groups[g].fuelLevel && columnTitleRow_ >= 0) {
                SetSensorRowOpen(columnTitleRow_, true);
            }
        }
    }
    SetLabelNo(!anyShown);
}

DisplaySnapshot DisplayModel::Snapshot() const {
    DisplaySnapshot s;
    std::size_t bytes = 0;
    for (const FieldState& f : fields_) bytes += f.text.size();
    s.texts.reserve(bytes);
    s.ends.reserve(fields_.size());
    s.colours.reserve(fields_.size());
    for (const FieldState& f : fields_) {
        s.texts += f.text;
        s.ends.push_back(static_cast<std::uint32_t>(s.texts.size()));
        s.colours.push_back(f.colour);
    }
    s.rowOpen.assign(rowOpen_.begin(), rowOpen_.end());
    s.bars[0] = bars_[0];
    s.bars[1] = bars_[1];
    s.labelNoVisible = labelNoVisible_;
    return s;
}

void DisplayModel::Restore(const DisplaySnapshot& snapshot) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        FieldState& f = fields_[i];
        const std::string_view text = snapshot.Text(i);
        const bool textChanged = f.text != text;
        if (!textChanged && f.colour == snapshot.colours[i]) continue;
        f.text.assign(text.data(), text.size());
        f.colour = snapshot.colours[i];
        const int field = static_cast<int>(i);
        NotifyField(field);
        if (textChanged && f.kind == FieldKind::MaskedEdit && f.onChange) f.onChange(field);
    }
    for (std::size_t row = 0; row < rowOpen_.size(); ++row) {
        SetSensorRowOpen(static_cast<int>(row), snapshot.rowOpen[row]);
    }
    SetLabelNo(snapshot.labelNoVisible);
    for (const Bar bar : {Bar::SignalLevel, Bar::Battery}) {
        if (bars_[static_cast<int>(bar)] != snapshot.bars[static_cast<int>(bar)]) {
            SetBar(bar, snapshot.bars[static_cast<int>(bar)]);
        }
    }
}

void DisplayModel::ClearDisplay() {
    // The fields changed since the last clear, in field order; the clear's own writes leave them
    // idle, so they are not noted again (a write an observer makes meanwhile is).
    std::vector<int> changed;
    changed.swap(changedSinceClear_);
    for (const int field : changed) marks_[field] &= ~kChangedSinceClear;
    std::sort(changed.begin(), changed.end());
    for (const int field : changed) {
        const IdleRule& rule = index_->idleOf[field];
        FieldState& f = fields_[field];
        if (rule.kind == IdleRule::Kind::Dash) {
            const bool idleText = f.text.size() == 1 && f.text[0] == '-';
            if (idleText && f.colour == kGrey) continue;
            f.colour = kGrey;
            if (!idleText) f.text.assign(1, '-');
            TellField(field);
        } else if (rule.kind == IdleRule::Kind::Caption && f.text != rule.caption) {
            f.text = rule.caption;
            TellField(field);
        }
    }
    if (changedSinceClear_.empty()) {  // keeps the list's room
        changed.clear();
        changedSinceClear_.swap(changed);
    }
    for (const int row : index_->foldedRows) SetSensorRowOpen(row, false);
    SetBar(Bar::SignalLevel, 0);
    SetBar(Bar::Battery, 0);
    for (int header : headerRowOfGroup_) SetSensorRowOpen(header, false);
    if (columnTitleRow_ >= 0) SetSensorRowOpen(columnTitleRow_, false);
    // Every row is folded now; the note "sensors not detected" belongs in their place again.
    ScbCDatResize();
}

}  // namespace rv
