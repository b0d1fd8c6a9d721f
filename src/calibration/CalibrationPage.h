#pragma once
// The calibration view (page tabTar): four channel columns panDat1..panDat4 side by side in the
// horizontally scrolling box scb2. Each column shows one channel of the Recorder: the source
// drop-down, the export button, the title strip, the entry row (time, reading, level,
// "Сохранить"), the table of recorded rows and the comment strip.
//
// The page only renders the recorder (through RecorderObserver) and hands the technician's
// gestures to it; every rule (offered sources, level filter, numbering, widths, export text)
// lives in the recorder. Each handler is written once and takes the channel digit.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calibration/Recorder.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QScrollArea;
class QTimer;
class QToolButton;

namespace rv {

class TMyPanel;
class TarRowStack;
class TarCurveWindow;

class CalibrationPage : public QWidget, private RecorderObserver {
  public:
    // exportTarget nullptr: the real save dialog and file write (TarExportDialogQt).
    CalibrationPage(Recorder& recorder, std::function<std::string()> exePath,
                    QWidget* parent = nullptr, TarExportTarget* exportTarget = nullptr);

    // Width of panDat1..panDat4 (the window's column rule computes it).
    void SetChannelWidth(int w);
    // scb2 scrolled fully left.
    void ScrollToLeft();
    // Opens (or raises) the curve window of channel n; the header's context menu does this.
    void ShowCurve(int n);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct RowView {
        QWidget* rowPanel = nullptr;
        TMyPanel* noCell = nullptr;
        TMyPanel* timeCell = nullptr;
        TMyPanel* valueCell = nullptr;
        TMyPanel* levelCell = nullptr;
        TMyPanel* actionCell = nullptr;
        QToolButton* delButton = nullptr;
    };
    struct ChannelView {
        QFrame* panDat = nullptr;
        QComboBox* cmbDat = nullptr;
        QToolButton* cmdSE = nullptr;
        QWidget* panTitle = nullptr;
        std::array<QLabel*, 5> t{};
        std::array<QWidget*, 4> titleDividers{};
        QWidget* panStat = nullptr;
        QLabel* pd1 = nullptr;
        QLabel* pd2 = nullptr;
        QLabel* pd3 = nullptr;
        std::array<QWidget*, 2> statDividers{};
        QLineEdit* pd4 = nullptr;
        QToolButton* cmdS = nullptr;
        QScrollArea* scbDat = nullptr;
        TarRowStack* rowStack = nullptr;  // the widget inside scbDat that holds the rows
        QWidget* panCom = nullptr;
        QLineEdit* txtCom = nullptr;
        QLabel* txtComLabel = nullptr;
        std::vector<RowView> rows;
        std::vector<std::uint8_t> checkFlags;  // as last shown on the rows
        TarCurveWindow* curve = nullptr;       // made when first opened
        bool checksDue = false;
        TarTitleLayout title{};
    };
    enum class Role { PanStat, PanTitle, PanCom, RowPanel, LevelField };

    void BuildChannel(int n, QWidget* host);
    QWidget* BuildHeader(int n, ChannelView& c);
    QWidget* BuildTitleStrip(int n, ChannelView& c);
    QWidget* BuildEntryRow(int n, ChannelView& c);
    QWidget* BuildCommentStrip(int n, ChannelView& c);
    void Watch(QWidget* w, int n, Role role, int index = 0);

    // Handlers of channel n.
    void cmbDatNChange(int n, int index);
    void cmbDatNDropDown(int n);
    bool pdN4KeyPress(const QString& typed) const;
    void pdN4Change(int n, const QString& text);
    void cmdSNClick(int n);
    void cmdSENClick(int n);
    // Loads a table the console exported (text or CSV) into channel n, chosen in an open dialog.
    void ImportTable(int n);
    void panComNResize(int n);
    void panStatNResize(int n);
    void ResizePanel(int n, std::size_t index);
    void ApplyTitleLayout(int n, const TarTitleLayout& l);
    void PlaceTitleStrip(int n);

    // RecorderObserver: the recorder's state changed; show it.
    void ChannelCleared(int n) override;
    void RowAdded(int n, std::size_t index) override;
    void RowHidden(int n, std::size_t index) override;
    void EntryRowChanged(int n) override;
    void ExportButtonChanged(int n) override;
    void SourceListChanged(int n) override;
    void CommentChanged(int n) override;
    void ShowWholeChannel(int n);
    // The settle mark in the entry row's first cell: seconds since the reading last moved, amber
    // while the technician should wait, green once it has settled; the words are in its hint.
    void ShowSettle(int n);
    // The checks over the rows are shown as a tint and a hint on each flagged row. They run once
    // per turn of the event loop however many rows changed, so a long table loads at its pace.
    void ScheduleChecks(int n);
    void ShowChecks(int n);
    void ShowCurveRows(int n);
    // The drop-down's hint names the fuel-level sensor behind the chosen source by its address.
    void ShowSensorAddress(int n);

    ChannelView& View(int n) { return channels_[static_cast<std::size_t>(n - 1)]; }

    Recorder& recorder_;
    std::function<std::string()> exePath_;
    std::unique_ptr<TarExportTarget> ownTarget_;
    TarExportTarget* target_;
    QScrollArea* scb2_ = nullptr;
    QTimer* settleTick_ = nullptr;  // the seconds of the settle marks go on without readings
    std::array<ChannelView, kTarChannels> channels_{};
    Subscription recorderSubscription_;
};

}  // namespace rv
