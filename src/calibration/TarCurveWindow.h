#pragma once
// The calibration curve of one channel in a window of its own: the level against the reading for
// the saved rows, the rows the checks flag in a colour of their own, and the live reading as a
// vertical marker that moves with every reading, so the technician sees where the next point
// will fall before saving it. The calibration page's layout stays as it is.

#include <QList>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "calibration/TableExport.h"

QT_BEGIN_NAMESPACE
class QChart;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace rv {

class TarCurveWindow : public QWidget {
  public:
    TarCurveWindow(int n, QWidget* parent);

    // The saved rows (hidden ones left out), their check flags, the source's name (Windows-1251).
    void ShowRows(const std::vector<TarRow>& rows, const std::vector<std::uint8_t>& flags,
                  const std::string& sourceName);
    // The live reading (empty or no number: the marker goes).
    void ShowReading(const std::string& reading);

    // What the chart shows, as (reading, level) points: every row, the flagged rows, the marker.
    QList<QPointF> RowPoints() const;
    QList<QPointF> FlaggedPoints() const;
    QList<QPointF> LiveMarker() const;

  private:
    void FitAxes();

    QChart* chart_ = nullptr;
    QLineSeries* curve_ = nullptr;
    QScatterSeries* points_ = nullptr;
    QScatterSeries* flagged_ = nullptr;
    QLineSeries* live_ = nullptr;
    QValueAxis* xAxis_ = nullptr;
    QValueAxis* yAxis_ = nullptr;
    double liveX_ = 0;
    bool hasLive_ = false;
};

}  // namespace rv
