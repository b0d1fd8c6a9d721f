#pragma once
// One or more fields of the monitor view against time, in a window of its own. Each field is a
// line in its own colour with a value scale of its own (left and right in turn, in the line's
// colour); gaps (no number shown) break the line. While it follows the latest values, the window
// scrolls with them; it repaints at most four times a second, however fast lines arrive, and only
// when the history or the view changed. The wheel zooms the time around the pointer, a drag with
// the left button pans, a drag with the right button zooms to the time it spans, a double click
// shows the whole session. The cross under the pointer reads its time and each field's value then.
// What is shown can be exported as a CSV table or as a PNG picture.
//
// Whatever the session's length, each line is drawn from at most four points per pixel column
// (DecimateToColumns), so a day of samples draws as fast as a minute.

#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "trends/TimedValue.h"

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QDateTimeAxis;
class QGraphicsLineItem;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QTimer;
class QToolButton;
class QValueAxis;
QT_END_NAMESPACE

namespace rv {

class DisplayModel;
class FieldHistory;
struct FileFailure;

class TrendWindow : public QWidget {
  public:
    // The history and the display must outlive the window.
    TrendWindow(const FieldHistory& history, const DisplayModel& display, std::vector<int> fields,
                QWidget* parent = nullptr);
    ~TrendWindow() override;

    const std::vector<int>& Fields() const { return fields_; }

    // The time shown, on the history's axis (ms). Showing a range stops following.
    std::int64_t ViewFrom() const { return from_; }
    std::int64_t ViewTo() const { return to_; }
    void ShowRange(std::int64_t from, std::int64_t to);
    void ShowWholeSession();
    // Following: the view keeps its width and ends at the latest value.
    void SetFollowing(bool follow);
    bool Following() const { return following_; }

    // Draws what changed since the last time (the window's timer calls it).
    void Refresh();

    // The points drawn for a field (gaps between the line's pieces left out), as (time on the
    // history's axis, value).
    QList<QPointF> DrawnPoints(int field) const;

    // The cross at `ms` and its reading: the time, then each field's value then.
    void MoveCursorTo(std::int64_t ms);
    QString CursorReadout() const;

    // The shown series as a CSV table, the shown picture as PNG: written whole or not at all; a
    // failure is shown to the technician with its reason. False then.
    bool ExportCsvTo(const QString& path);
    bool ExportPngTo(const QString& path);

    // The chart's picture as it is shown.
    QPixmap Picture();

  private:
    class ChartView;
    struct Line {
        int field = -1;
        QColor colour;
        QValueAxis* axis = nullptr;
        std::vector<QLineSeries*> pieces;  // one per stretch between gaps
        QScatterSeries* lone = nullptr;    // stretches of a single point
        QList<QPointF> drawn;              // (axis ms, value)
    };

    void BuildLine(std::size_t index);
    void DrawLine(Line& line, int columns);
    QLineSeries* Piece(Line& line, std::size_t index);
    void UpdateTitles();
    double EpochOf(std::int64_t ms) const;
    std::int64_t MsAtPixel(double x) const;
    void ZoomAround(double x, double factor);
    void PanBy(double dx);
    void HoverAt(const QPointF& viewPos);
    void ExportCsvExecute();
    void ExportPngExecute();
    QString ProposedName(const QString& suffix) const;
    void ShowFileError(const std::string& path, const FileFailure& failure);

    const FieldHistory& history_;
    const DisplayModel& display_;
    std::vector<int> fields_;
    std::vector<Line> lines_;
    QChart* chart_ = nullptr;
    ChartView* view_ = nullptr;
    QDateTimeAxis* timeAxis_ = nullptr;
    QLabel* readout_ = nullptr;
    QToolButton* follow_ = nullptr;
    QTimer* timer_ = nullptr;
    QGraphicsLineItem* crossV_ = nullptr;
    QGraphicsLineItem* crossH_ = nullptr;
    std::int64_t from_ = 0, to_ = 0;
    std::int64_t cursorMs_ = -1;
    bool following_ = true;
    bool dirty_ = true;
    std::uint64_t drawnRevision_ = 0;
    double originEpochMs_ = 0;  // local midnight of the session's first day, as epoch ms
};

}  // namespace rv
