#pragma once
// The calibration recorder: four calibration channels that record live sensor readings of the unit
// against levels typed by the technician, one row table per channel.
//
// The reply decoders hand every analogue / frequency input reading and every fuel-level reading to
// SendTarDat; the reading reaches the entry row of the channel that has that source selected. The
// technician picks a source per channel (cmbDatNDropDown / cmbDatNChange), types a level
// (pdN4KeyPress / pdN4Change), saves rows (cmdSNClick), deletes rows (ClickDel) and exports the
// table (SaveTarFile). Every handler family is written once and takes the channel digit 1..4.
//
// The recorder keeps the state of every calibration widget (drop-down entries and selection,
// entry-row captions, level text, visibility of "Сохранить" and of the export button, the row
// table, the comment) and tells a view through RecorderObserver what changed; the view only
// renders it. Texts are Windows-1251 byte strings.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ObserverList.h"
#include "calibration/Recovery.h"
#include "calibration/SettleWatch.h"
#include "calibration/TableExport.h"
#include "calibration/TableImport.h"
#include "calibration/TarList.h"
#include "protocol/CalibrationCapture.h"
#include "protocol/DisplayModel.h"
#include "text/RegionalFormats.h"

namespace rv {

constexpr int kTarChannels = 4;

// Fixed sizes of a calibration row, in pixels.
constexpr int kTarRowHeight = 25;
constexpr int kTarNoCellWidth = 40;
constexpr int kTarActionCellWidth = 75;
constexpr int kTarDelButtonWidth = 73;
constexpr int kTarDelButtonHeight = 23;

// The column widths of a channel's title strip and entry row (UpdateTarTitle).
struct TarTitleLayout {
    int t1 = 0, t2 = 0, t3 = 0, t4 = 0;  // title cells tN1..tN4 (tN5 fills the rest)
    int pd1 = 0, pd2 = 0, pd3 = 0;       // entry cells pdN1..pdN3
    int pd4Left = 0, pd4Width = 0;       // level field pdN4 (placed, not aligned)
    int cmdSWidth = 0;                   // "Сохранить", aligned right
};

// UpdateTarTitle(N, a, b, w): a = width of the number column, b = width of the action column,
// w = width the columns are shared out of, panStatWidth = width of the entry row panStatN.
TarTitleLayout UpdateTarTitle(int a, int b, int w, int panStatWidth);

// The cell widths of a calibration row and the title layout that follows from it (ResizeTarRow).
struct TarRowLayout {
    int timeWidth = 0;
    int valueWidth = 0;
    TarTitleLayout title;
};
TarRowLayout ResizeTarRow(int rowWidth, int noCellWidth, int delButtonWidth, int panStatWidth);

// Width of the comment field txtComN for a comment strip of the given width (panComNResize).
int panComNResize(int panComWidth);

// What a view of the recorder is told. `n` is the channel digit 1..4.
class RecorderObserver {
  public:
    virtual ~RecorderObserver() = default;
    // The channel's rows were freed and its comment emptied (ClearTarDat).
    virtual void ChannelCleared(int /*n*/) {}
    // Row `index` of the channel's row table was appended.
    virtual void RowAdded(int /*n*/, std::size_t /*index*/) {}
    // Row `index` was hidden; the number captions of the visible rows were renumbered.
    virtual void RowHidden(int /*n*/, std::size_t /*index*/) {}
    // Captions pdN1..pdN3, level text pdN4, visibility of cmdSN or enabling of panStatN changed.
    virtual void EntryRowChanged(int /*n*/) {}
    // The export button cmdSEN was shown or hidden.
    virtual void ExportButtonChanged(int /*n*/) {}
    // The drop-down's entries were rebuilt or its selected entry changed.
    virtual void SourceListChanged(int /*n*/) {}
    // The comment txtComN changed (typed, or restored from a kept table).
    virtual void CommentChanged(int /*n*/) {}
};

// What received readings change in the recorder, as a value: the sources seen and, for each
// channel, its source then, the reading and time in its entry row and the settle watch over it.
// A played log keeps these to seek in it.
struct RecorderSnapshot {
    struct Entry {
        std::string source;  // the channel's drop-down text then
        std::string time, reading;
        SettleWatch settle;
    };
    std::vector<std::string> sources;
    std::array<Entry, kTarChannels> channels;

    // Bytes of memory the snapshot holds.
    std::size_t Bytes() const;
};

class Recorder : public CalibrationCapture {
  public:
    struct Channel {
        std::vector<std::string> items{};  // entries of cmbDatN, first the placeholder
        int itemIndex = 0;                 // selected entry, -1 for none
        std::string tarName{};             // TarNameN: a source name or the placeholder
        std::string pd1{}, pd2{}, pd3{};   // entry row captions: (empty), time, reading
        std::string pd4{};                 // level typed by the technician (digits only)
        bool panStatEnabled = false;
        std::vector<TarRow> rows{};  // TarDatN, hidden rows kept until the channel is cleared
        std::size_t visibleRows = 0;
        std::string comment{};  // txtComN
        bool exportVisible = false;

        // Text of the drop-down: the selected entry's text.
        const std::string& ComboText() const;
        // The entry row holds a reading to save: its time and the reading itself.
        bool HoldsReading() const { return !pd2.empty() && !pd3.empty(); }
        // "Сохранить" shows once a level is typed and the entry row holds a reading, so a row
        // always carries both; a level typed before the reading waits for it.
        bool CmdSVisible() const { return !pd4.empty() && HoldsReading(); }
    };

    Recorder(const DisplayModel& display, const Clock& clock, const RegionalFormats& formats);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    Subscription Subscribe(RecorderObserver& observer) { return observers_.Subscribe(observer); }

    // The placeholder "выбрать": no source selected.
    static const std::string& Placeholder();

    const TarList& Sources() const { return tarList_; }
    // Channel state; n must be 1..4.
    const Channel& State(int n) const { return channels_[Slot(n)]; }

    // Capture entry of the reply decoders: builds the source name from the first letter of the
    // kind ("A", "F": "IN" + index; "Y", "Z": "LLS" + index; anything else is ignored).
    void SendTarDat(std::string_view index, std::string_view kind, std::string_view value) override;
    // Registers the source and shows the reading in the entry row of the channel whose drop-down
    // shows it, unless a level is being typed there (that stops the update for later channels
    // too).
    void UpdateTarDat(std::string_view name, std::string_view value);
    // Whether the reading of channel n's source has settled, as of now.
    SettleState Settle(int n) const;
    // The reading that the monitor view shows now for a source, or the empty text.
    std::string LoadTarDatValue(std::string_view name) const;

    RecorderSnapshot Snapshot() const;
    // Puts back what readings had made of the recorder at `snapshot`; what the technician did
    // stays as it is: the source chosen, a level typed, saved rows, the comment. A channel that
    // shows the same source gets back its reading, time and settle watch, unless a level typed
    // against the reading holds it; a channel whose source was chosen since shows the reading the
    // monitor view shows now, as if it were chosen now (so the display is put back first). The
    // sources chosen stay offered.
    void Restore(const RecorderSnapshot& snapshot);

    // Resets the whole recorder: empty source list, every channel "выбрать", empty and disabled.
    void InitTar();
    // Empties one channel: rows, entry row, comment, export button (n outside 1..4: nothing).
    void ClearTarDat(int n);
    // Appends one row numbered 1 + the count of visible rows.
    void AddTarPanel(int n, std::string_view level, std::string_view value, std::string_view time);
    // Delete button of row `index`: hides it, renumbers, shows the export button while a visible
    // row is left.
    void ClickDel(int n, std::size_t index);
    // Numbers the visible rows 1, 2, ... in table order; returns their count.
    std::size_t RenumberTarRows(int n);

    // Source selection: the technician chose entry `index` of the drop-down.
    void cmbDatNChange(int n, int index);
    // Opening of the drop-down: "выбрать", then every source not selected by another channel.
    void cmbDatNDropDown(int n);
    // Key filter of the level field: only "0".."9" and backspace (8) pass.
    static bool pdN4KeyPress(char key);
    // Text of the level field changed; characters the key filter would refuse (a paste) are
    // dropped, so the level holds decimal digits only.
    void pdN4Change(int n, std::string_view text);
    // "Сохранить": the entry row becomes a row, the export button shows, the entry row empties.
    void cmdSNClick(int n);
    // The comment field was edited.
    void SetComment(int n, std::string_view text);
    // A kept table put back into channel n exactly as it was: its source selected (and offered),
    // its rows with their numbers and hidden rows, its comment, the export button; the entry row
    // shows the source's current reading. The channel's earlier content is dropped (its own kept
    // table stays in the folder).
    void RestoreChannel(int n, const KeptTableState& kept);
    // A table the console exported (the text table or the CSV, as the file's bytes) put into
    // channel n to be continued, as RestoreChannel does; a file that is not such a table leaves
    // the channel as it was and says why.
    TarImportResult ImportTarFile(int n, std::string_view bytes);
    // The address of the fuel-level sensor behind a source "LLS<k> (...)": the address that row k
    // of the sensor area shows now. Empty for other sources and for a row no sensor has taken.
    std::string SensorAddressOf(std::string_view sourceName) const;

    // Entry-row widths while the table has no visible row; nothing when it has one.
    std::optional<TarTitleLayout> panStatNResize(int n, int panStatWidth) const;

    // Exports channel n through the save dialog and file writer of `target`; resets the channel
    // (as choosing the placeholder does) only when the file was written. `exePath` is the
    // dialog's initial folder (UTF-8).
    // A failure's text (UTF-8) is for the user's message box.
    SaveTxtResult SaveTarFile(int n, TarExportTarget& target, const std::string& exePath);

  private:
    static std::size_t Slot(int n) { return static_cast<std::size_t>(n - 1); }
    static bool Valid(int n) { return n >= 1 && n <= kTarChannels; }
    std::string TimeText() const;

    const DisplayModel& display_;
    const Clock& clock_;
    const RegionalFormats& formats_;
    TarList tarList_;
    std::array<Channel, kTarChannels> channels_;
    std::array<SettleWatch, kTarChannels> settle_{};
    std::string nameBuf_;  // reused by SendTarDat, so a capture allocates nothing
    struct Prefix {
        std::string text;  // first 7 characters of a source name
        int field;
    };
    std::vector<Prefix> prefixes_;
    int unitIdField_;
    std::array<int, 6> fuelCaptionFields_{};  // LLS0..LLS5: "<address>:" of each sensor row
    ObserverList<RecorderObserver> observers_;
};

}  // namespace rv
