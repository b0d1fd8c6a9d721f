#include "calibration/TarCurveWindow.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "calibration/SettleWatch.h"
#include "text/Cp1251.h"
#include "ui/Cp1251Qt.h"

namespace rv {

TarCurveWindow::TarCurveWindow(int n, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TarCurve") + QString::number(n));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(560, 420);
    chart_ = new QChart();
    chart_->legend()->setVisible(true);
    curve_ = new QLineSeries(chart_);
    curve_->setName(FromCp1251(W("Строки таблицы")));
    curve_->setObjectName(QStringLiteral("Curve"));
    points_ = new QScatterSeries(chart_);
    points_->setMarkerSize(7);
    points_->setColor(curve_->color());
    points_->setObjectName(QStringLiteral("Points"));
    flagged_ = new QScatterSeries(chart_);
    flagged_->setName(FromCp1251(W("Строки с замечаниями")));
    flagged_->setObjectName(QStringLiteral("Flagged"));
    flagged_->setMarkerSize(11);
    flagged_->setColor(QColor(230, 120, 0));
    live_ = new QLineSeries(chart_);
    live_->setName(FromCp1251(W("Текущее показание")));
    live_->setObjectName(QStringLiteral("Live"));
    live_->setColor(QColor(0, 150, 0));
    xAxis_ = new QValueAxis(chart_);
    xAxis_->setTitleText(FromCp1251(W("Значение")));
    yAxis_ = new QValueAxis(chart_);
    yAxis_->setTitleText(FromCp1251(W("Уровень")));
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    for (QXYSeries* s : {static_cast<QXYSeries*>(curve_), static_cast<QXYSeries*>(points_),
                         static_cast<QXYSeries*>(flagged_), static_cast<QXYSeries*>(live_)}) {
        chart_->addSeries(s);
        s->attachAxis(xAxis_);
        s->attachAxis(yAxis_);
    }
    chart_->legend()->markers(points_).first()->setVisible(false);
    auto* view = new QChartView(chart_, this);
    view->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
}

void TarCurveWindow::ShowRows(const std::vector<TarRow>& rows,
                              const std::vector<std::uint8_t>& flags,
                              const std::string& sourceName) {
    setWindowTitle(FromCp1251(W("Кривая тарировки: ")) + FromCp1251(sourceName));
    QList<QPointF> all, doubtful;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].visible) continue;
        const auto x = ReadingNumber(rows[i].value);
        const auto y = ReadingNumber(rows[i].level);
        if (!x || !y) continue;
        all << QPointF(*x, *y);
        if (i < flags.size() && flags[i] != 0) doubtful << QPointF(*x, *y);
    }
    curve_->replace(all);
    points_->replace(all);
    flagged_->replace(doubtful);
    FitAxes();
}

void TarCurveWindow::ShowReading(const std::string& reading) {
    const auto x = ReadingNumber(reading);
    hasLive_ = x.has_value();
    liveX_ = x.value_or(0);
    FitAxes();
}

QList<QPointF> TarCurveWindow::RowPoints() const {
    return curve_->points();
}
QList<QPointF> TarCurveWindow::FlaggedPoints() const {
    return flagged_->points();
}
QList<QPointF> TarCurveWindow::LiveMarker() const {
    return live_->points();
}

void TarCurveWindow::FitAxes() {
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
    const QList<QPointF> pts = curve_->points();
    if (!pts.isEmpty()) {
        x0 = x1 = pts.first().x();
        y0 = y1 = pts.first().y();
        for (const QPointF& p : pts) {
            x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x());
            y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y());
        }
    }
    if (hasLive_) {
        if (pts.isEmpty()) x0 = x1 = liveX_;
        x0 = std::min(x0, liveX_), x1 = std::max(x1, liveX_);
    }
    if (x1 - x0 <= 0) x0 -= 1, x1 += 1;
    if (y1 - y0 <= 0) y0 -= 1, y1 += 1;
    const double mx = (x1 - x0) * 0.05, my = (y1 - y0) * 0.05;
    xAxis_->setRange(x0 - mx, x1 + mx);
    yAxis_->setRange(y0 - my, y1 + my);
    if (hasLive_) {
        live_->replace(QList<QPointF>{{liveX_, y0 - my}, {liveX_, y1 + my}});
    } else {
        live_->clear();
    }
}

}  // namespace rv
