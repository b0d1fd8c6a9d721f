#pragma once
// The display fields of the monitor view as the core sees them: every named value component
// (labels, read-only edits, masked edits, the run-time row captions), the two progress bars, which
// sensor-area rows are open and the "sensors not detected" note. Decoders and the connection
// control write here through SetV; the window observes the model and shows it. Texts are
// Windows-1251 byte strings.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/ObserverList.h"
#include "layout/SectionPlan.h"
#include "protocol/Colours.h"

namespace rv {

enum class Bar { SignalLevel /* SB_ML, 0..31 */, Battery /* SB_PB, 0..4 */ };

class DisplayObserver {
  public:
    virtual ~DisplayObserver() = default;
    virtual void FieldChanged(int /*field*/) {}
    virtual void SensorRowOpenChanged(int /*sensorRow*/) {}
    virtual void LabelNoChanged(bool /*visible*/) {}
    virtual void BarChanged(Bar) {}
};

// Everything a display model shows, as a value: every field's text and colour, the bars, which
// sensor rows are open and whether the note shows. A played log keeps these to seek in it.
struct DisplaySnapshot {
    std::string texts;                // every field's text, one after another
    std::vector<std::uint32_t> ends;  // where each field's text ends in `texts`
    std::vector<Colour> colours;
    std::vector<bool> rowOpen;
    int bars[2] = {0, 0};
    bool labelNoVisible = true;

    std::string_view Text(std::size_t field) const {
        const std::uint32_t begin = field == 0 ? 0 : ends[field - 1];
        return std::string_view(texts).substr(begin, ends[field] - begin);
    }
    // Bytes of memory the snapshot holds.
    std::size_t Bytes() const {
        return sizeof(*this) + texts.capacity() + ends.capacity() * sizeof(std::uint32_t) +
               colours.capacity() * sizeof(Colour) + rowOpen.capacity() / 8;
    }
};

// Sees every value a decoder writes through SetV, also a value equal to the one shown (the
// observers above hear of changes only). A reply that repeats a value is news for whoever keeps a
// field's history: the value still held at that moment. One tap at most, called inline: it sits
// on the receive path.
class DisplayWriteTap {
  public:
    virtual ~DisplayWriteTap() = default;
    // `field` was written `text`; `changed` is false when text and colour were already shown.
    virtual void ValueWritten(int field, std::string_view text, bool changed) = 0;
};

class DisplayModel {
  public:
    DisplayModel();

    // Field index of a component name, -1 when there is none.
    int Find(std::string_view name) const;
    // Field index of a name that must exist (a programming error otherwise: throws logic_error).
    int Field(std::string_view name) const;

    std::size_t FieldCount() const { return fields_.size(); }
    const std::string& Name(int field) const { return fields_[field].name; }
    FieldKind Kind(int field) const { return fields_[field].kind; }
    int Tag(int field) const { return fields_[field].tag; }
    const std::string& Text(int field) const { return fields_[field].text; }
    Colour ColourOf(int field) const { return fields_[field].colour; }
    // Index into SensorRows() of the row panel that holds a collapsible field, else -1.
    int SensorRowOf(int field) const { return fields_[field].sensorRow; }

    // The value-display operation: a label gets colour and text (a collapsible label opens its
    // row on its first value); an edit gets colour and text; a masked edit gets the text through
    // its mask and runs its change handler; the colour is ignored for it.
    void SetV(int field, std::string_view text, Colour colour);
    // Text only, colour untouched: row captions rewritten by replies.
    void SetCaption(int field, std::string_view text);
    // A masked edit's text typed by the technician: through the mask, then the change handler.
    void SetMaskedText(int field, std::string_view text);
    // Colour of a field set by the settings editor's validation (masked edits keep it otherwise).
    void SetFieldColour(int field, Colour colour);

    // Input mask of a masked edit (identity when none is installed) and its change handler.
    void SetMask(int field, std::function<std::string(std::string_view)> mask);
    void SetChangeHandler(int field, std::function<void(int field)> handler);

    void SetBar(Bar bar, int position);  // clamped to the bar's range
    int BarPosition(Bar bar) const { return bars_[static_cast<int>(bar)]; }
    static int BarMaximum(Bar bar) { return bar == Bar::SignalLevel ? 31 : 4; }

    // A sensor-area row is folded until its first value and open afterwards; before the first
    // clear every row is open, as the window is laid out.
    bool SensorRowOpen(int sensorRow) const { return rowOpen_[sensorRow] != 0; }
    void SetSensorRowOpen(int sensorRow, bool open);
    int SensorRowIndex(int panelNumber) const;  // index into SensorRows(), -1 if none
    bool LabelNoVisible() const { return labelNoVisible_; }
    // The sensor-group rule: opens the header of every group that has a shown row and shows
    // the note exactly when no row is shown.
    void ScbCDatResize();

    // The display part of the clear action: every "LL_" label and edit to "-" in grey (collapsible
    // rows folded), bars to 0, input captions "0:".."5:", sensor captions ":", group headers and
    // the fuel-level title row folded, then the note shown again since no row is left open.
    void ClearDisplay();

    DisplaySnapshot Snapshot() const;
    // Shows a snapshot of this model again. Observers hear of exactly the fields, rows, bars and
    // note that differ from what is shown now, so a window repaints only those. A masked edit
    // whose text differs runs its change handler, as any change of it does (the text passed its
    // mask when it was set).
    void Restore(const DisplaySnapshot& snapshot);

    Subscription Subscribe(DisplayObserver& observer) { return observers_.Subscribe(observer); }
    // Every SetV of a label or edit is also told to `tap` (nullptr: none). The tap must outlive
    // the model or be removed first.
    void SetWriteTap(DisplayWriteTap* tap) { tap_ = tap; }

    // Holds the observers' FieldChanged back while it lives (a received block, a driver tick's
    // blocks, the lines a played log brings at once): the lines of a fast link rewrite the same
    // fields several times, and the window needs only the last of them. When the outermost batch
    // ends, each field that changed is told once, in the order of its first change. The model's
    // state itself follows every write at once.
    class Batch {
      public:
        explicit Batch(DisplayModel& model) : model_(model) { ++model_.batchDepth_; }
        ~Batch() { model_.EndBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        DisplayModel& model_;
    };

  private:
    struct FieldState {
        std::string name;
        FieldKind kind;
        int tag;
        int sensorRow;
        std::string text;
        Colour colour;
        std::function<std::string(std::string_view)> mask;
        std::function<void(int)> onChange;
    };

    // Row captions that replies rewrite (LL0.., LLOWT0.., LLS0..) are grey like every caption;
    // value fields start black, the window font's colour.
    int AddField(const char* name, FieldKind kind, int tag, int sensorRow, std::string text,
                 Colour colour = kBlack);
    // A field's text or colour changed: noted for the next clear, then told (or held by a batch).
    void NotifyField(int field);
    void TellField(int field);
    void EndBatch();
    void SetLabelNo(bool visible);
    void StoreMasked(int field, std::string_view text);

    // What the clear does to a field: leaves it (masked edits, fixed captions), gives it the idle
    // "-" in grey (every "LL_" label and edit) or writes a row caption's idle text.
    struct IdleRule {
        enum class Kind : unsigned char { Kept, Dash, Caption } kind = Kind::Kept;
        std::string caption;
    };

    struct Index {
        std::unordered_map<std::string, int> byName;
        std::vector<IdleRule> idleOf;  // by field
        std::vector<int> foldedRows;   // the rows of collapsible labels, each once
    };
    static Index BuildIndex(const std::vector<FieldState>& fields);
    static constexpr std::size_t kFieldsReserved = 256;  // above the plan's count, so no regrowth

    std::vector<FieldState> fields_;
    const Index* index_ = nullptr;
    std::vector<unsigned char> rowOpen_;  // bytes, not bits: read on every clear and first value
    std::unordered_map<int, int> rowByNumber_;
    std::vector<int> headerRowOfGroup_;
    std::vector<std::vector<int>> groupsOfRow_;  // by sensor row: the groups it is a value row of
    int columnTitleRow_ = -1;
    int bars_[2] = {0, 0};
    bool labelNoVisible_ = true;
    ObserverList<DisplayObserver> observers_;
    DisplayWriteTap* tap_ = nullptr;
    int batchDepth_ = 0;
    std::vector<int> held_;  // fields changed in the running batch, in order
    // Fields changed since the last clear (every field before the first): only these can differ
    // from their idle state, so the clear looks at nothing else.
    std::vector<int> changedSinceClear_;
    enum FieldMark : unsigned char { kHeld = 1, kChangedSinceClear = 2 };
    std::vector<unsigned char> marks_;  // by field, sized with the fields
};

}  // namespace rv
