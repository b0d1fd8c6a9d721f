#include "trends/TrendWindow.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QGraphicsLineItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScatterSeries>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "files/FileErrors.h"
#include "files/FileWriter.h"
#include "protocol/DisplayModel.h"
#include "trends/Decimation.h"
#include "trends/FieldHistory.h"
#include "trends/TrendCsv.h"
#include "trends/TrendFields.h"

namespace rv {
namespace {

constexpr int kRefreshMs = 250;  // four pictures a second at most
constexpr std::int64_t kFollowSpanMs = 10 * 60 * 1000;
constexpr std::int64_t kMinSpanMs = 1000;
constexpr std::int64_t kMaxSpanMs = 62 * SessionAxis::kDayMs;
// More pieces than this in view (a field that keeps losing its value) join into the last one.
constexpr std::size_t kMaxPieces = 64;

const QColor kLineColours[] = {QColor(31, 119, 180),  QColor(214, 39, 40),   QColor(44, 160, 44),
                               QColor(255, 127, 14),  QColor(148, 103, 189), QColor(140, 86, 75),
                               QColor(227, 119, 194), QColor(23, 190, 207)};

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

// The chart under the pointer: wheel, drags and the cross are the window's to handle.
class TrendWindow::ChartView : public QChartView {
  public:
    ChartView(QChart* chart, TrendWindow& window) : QChartView(chart), window_(window) {
        setMouseTracking(true);
        setRenderHint(QPainter::Antialiasing);
        setObjectName(QStringLiteral("TrendChart"));
    }

  protected:
    void wheelEvent(QWheelEvent* e) override {
        const double steps = e->angleDelta().y() / 120.0;
        if (steps != 0) window_.ZoomAround(e->position().x(), std::pow(0.8, steps));
        e->accept();
    }
    void mousePressEvent(QMouseEvent* e) override {
        pressX_ = e->position().x();
        lastX_ = pressX_;
        if (e->button() == Qt::RightButton) {
            if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, this);
            band_->setGeometry(BandRect(pressX_));
            band_->show();
        }
        e->accept();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const double x = e->position().x();
        if (e->buttons() & Qt::LeftButton) {
            window_.PanBy(x - lastX_);
        } else if ((e->buttons() & Qt::RightButton) && band_) {
            band_->setGeometry(BandRect(x));
        }
        lastX_ = x;
        window_.HoverAt(e->position());
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::RightButton && band_ && band_->isVisible()) {
            band_->hide();
            const double x = e->position().x();
            if (std::abs(x - pressX_) > 4) {
                window_.ShowRange(window_.MsAtPixel(std::min(x, pressX_)),
                                  window_.MsAtPixel(std::max(x, pressX_)));
            }
        }
        e->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        window_.ShowWholeSession();
        e->accept();
    }
    void contextMenuEvent(QContextMenuEvent* e) override { e->accept(); }

  private:
    QRect BandRect(double x) const {
        const QRectF plot = chart()->plotArea();
        return QRectF(QPointF(std::min(x, pressX_), plot.top()),
                      QPointF(std::max(x, pressX_), plot.bottom()))
            .toRect();
    }

    TrendWindow& window_;
    QRubberBand* band_ = nullptr;
    double pressX_ = 0, lastX_ = 0;
};

TrendWindow::TrendWindow(const FieldHistory& history, const DisplayModel& display,
                         std::vector<int> fields, QWidget* parent)
    : QWidget(parent, Qt::Window),
      history_(history),
      display_(display),
      fields_(std::move(fields)) {
    setObjectName(QStringLiteral("TrendWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 520);

    chart_ = new QChart();
    chart_->legend()->setAlignment(Qt::AlignTop);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    timeAxis_ = new QDateTimeAxis(chart_);
    timeAxis_->setTickCount(7);
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    lines_.resize(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) BuildLine(i);
    view_ = new ChartView(chart_, *this);

    crossV_ = new QGraphicsLineItem();
    crossH_ = new QGraphicsLineItem();
    for (QGraphicsLineItem* item : {crossV_, crossH_}) {
        item->setPen(QPen(QColor(90, 90, 90), 0, Qt::DashLine));
        item->setZValue(100);
        item->hide();
        chart_->scene()->addItem(item);
    }

    auto* tools = new QHBoxLayout();
    tools->setContentsMargins(6, 4, 6, 0);
    const auto button = [&](const char* name, const QString& text) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        tools->addWidget(b);
        return b;
    };
    follow_ = button("TrendFollow", QStringLiteral("Следить за новыми"));
    follow_->setCheckable(true);
    follow_->setChecked(true);
    connect(follow_, &QToolButton::toggled, this, [this](bool on) { SetFollowing(on); });
    connect(button("TrendWhole", QStringLiteral("Весь сеанс")), &QToolButton::clicked, this,
            [this] { ShowWholeSession(); });
    connect(button("TrendExportCsv", QStringLiteral("Экспорт в CSV…")), &QToolButton::clicked, this,
            [this] { ExportCsvExecute(); });
    connect(button("TrendExportPng", QStringLiteral("Сохранить PNG…")), &QToolButton::clicked, this,
            [this] { ExportPngExecute(); });
    tools->addStretch(1);
    auto* hint = new QLabel(QStringLiteral("Колесо — масштаб, левая кнопка — сдвиг, правая — "
                                           "выделить участок, двойной щелчок — весь сеанс"),
                            this);
    hint->setStyleSheet(QStringLiteral("color: grey;"));
    tools->addWidget(hint);

    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("TrendReadout"));
    readout_->setTextFormat(Qt::PlainText);
    readout_->setContentsMargins(8, 0, 8, 4);
    readout_->setText(QStringLiteral("Наведите указатель на график, чтобы прочесть значения"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(tools);
    layout->addWidget(view_, 1);
    layout->addWidget(readout_);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (isVisible()) Refresh();
    });
    timer_->start(kRefreshMs);
    UpdateTitles();
    Refresh();
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::BuildLine(std::size_t index) {
    Line& line = lines_[index];
    line.field = fields_[index];
    line.colour = kLineColours[index % std::size(kLineColours)];
    line.axis = new QValueAxis(chart_);
    line.axis->setObjectName(QStringLiteral("TrendAxis") + QString::number(index));
    line.axis->setLinePenColor(line.colour);
    line.axis->setLabelsColor(line.colour);
    line.axis->setTitleBrush(line.colour);
    line.axis->setGridLineVisible(index == 0);
    chart_->addAxis(line.axis, index % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
    line.lone = new QScatterSeries(chart_);
    line.lone->setColor(line.colour);
    line.lone->setBorderColor(line.colour);
    line.lone->setMarkerSize(5);
    chart_->addSeries(line.lone);
    line.lone->attachAxis(timeAxis_);
    line.lone->attachAxis(line.axis);
    chart_->legend()->markers(line.lone).first()->setVisible(false);
    Piece(line, 0);  // the first piece carries the legend
}

QLineSeries* TrendWindow::Piece(Line& line, std::size_t index) {
    while (line.pieces.size() <= index) {
        auto* piece = new QLineSeries(chart_);
        piece->setPen(QPen(line.colour, 1.5));
        chart_->addSeries(piece);
        piece->attachAxis(timeAxis_);
        piece->attachAxis(line.axis);
        if (!line.pieces.empty()) chart_->legend()->markers(piece).first()->setVisible(false);
        line.pieces.push_back(piece);
    }
    return line.pieces[index];
}

void TrendWindow::UpdateTitles() {
    QStringList names;
    for (Line& line : lines_) {
        const QString caption = Utf8(LabelOfTrendField(display_, line.field).caption);
        if (line.pieces.front()->name() != caption) {
            line.pieces.front()->setName(caption);
            line.axis->setTitleText(caption);
        }
        names << caption;
    }
    setWindowTitle(QStringLiteral("График: ") + names.join(QStringLiteral(", ")));
}

double TrendWindow::EpochOf(std::int64_t ms) const {
    return originEpochMs_ + static_cast<double>(ms);
}

void TrendWindow::SetFollowing(bool follow) {
    following_ = follow;
    if (follow_->isChecked() != follow) follow_->setChecked(follow);
    dirty_ = true;
    Refresh();
}

void TrendWindow::ShowRange(std::int64_t from, std::int64_t to) {
    if (to - from < kMinSpanMs) {
        const std::int64_t middle = from + (to - from) / 2;
        from = middle - kMinSpanMs / 2;
        to = from + kMinSpanMs;
    }
    if (to - from > kMaxSpanMs) from = to - kMaxSpanMs;
    from_ = from;
    to_ = to;
    following_ = false;
    if (follow_->isChecked()) {
        const QSignalBlocker quiet(follow_);
        follow_->setChecked(false);
    }
    dirty_ = true;
    Refresh();
}

void TrendWindow::ShowWholeSession() {
    if (history_.Empty()) return;
    const std::int64_t span = history_.LastMs() - history_.FirstMs();
    const std::int64_t margin = std::max<std::int64_t>(span / 50, kMinSpanMs);
    ShowRange(history_.FirstMs() - margin, history_.LastMs() + margin);
}

std::int64_t TrendWindow::MsAtPixel(double x) const {
    const QRectF plot = chart_->plotArea();
    const double share = plot.width() > 0 ? (x - plot.left()) / plot.width() : 0;
    return from_ +
           static_cast<std::int64_t>(std::llround(share * static_cast<double>(to_ - from_)));
}

void TrendWindow::ZoomAround(double x, double factor) {
    const std::int64_t at = MsAtPixel(x);
    const double span =
        std::clamp(static_cast<double>(to_ - from_) * factor, static_cast<double>(kMinSpanMs),
                   static_cast<double>(kMaxSpanMs));
    const double share = static_cast<double>(at - from_) / static_cast<double>(to_ - from_);
    const auto from = at - static_cast<std::int64_t>(std::llround(share * span));
    ShowRange(from, from + static_cast<std::int64_t>(std::llround(span)));
}

void TrendWindow::PanBy(double dx) {
    const double width = chart_->plotArea().width();
    if (width <= 0 || dx == 0) return;
    const auto shift =
        static_cast<std::int64_t>(std::llround(-dx / width * static_cast<double>(to_ - from_)));
    ShowRange(from_ + shift, to_ + shift);
}

void TrendWindow::Refresh() {
    if (!dirty_ && drawnRevision_ == history_.Revision()) return;
    dirty_ = false;
    drawnRevision_ = history_.Revision();
    if (history_.Axis().Started()) {
        const LocalDateTime day = history_.Axis().Wall(0);
        originEpochMs_ = static_cast<double>(
            QDateTime(QDate(day.year, day.month, day.day), QTime(0, 0)).toMSecsSinceEpoch());
    }
    if (following_) {
        const std::int64_t span = to_ > from_ ? to_ - from_ : kFollowSpanMs;
        to_ = history_.Empty() ? span : history_.LastMs() + span / 50;
        from_ = to_ - span;
    }
    UpdateTitles();
    const int columns = std::max(1, static_cast<int>(chart_->plotArea().width()));
    for (Line& line : lines_) DrawLine(line, columns);
    timeAxis_->setFormat(to_ - from_ <= 2 * 60 * 1000             ? QStringLiteral("HH:mm:ss.zzz")
                         : to_ - from_ <= 2 * SessionAxis::kDayMs ? QStringLiteral("HH:mm:ss")
                                                                  : QStringLiteral("dd.MM HH:mm"));
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(EpochOf(from_))),
                        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(EpochOf(to_))));
    if (cursorMs_ >= 0) MoveCursorTo(cursorMs_);
}

void TrendWindow::DrawLine(Line& line, int columns) {
    std::vector<TimedValue> samples;
    history_.Read(line.field, from_, to_, samples);
    const std::vector<TimedValue> drawn = DecimateToColumns(samples, from_, to_, columns);

    std::vector<QList<QPointF>> pieces(1);
    double low = INFINITY, high = -INFINITY;
    line.drawn.clear();
    for (const TimedValue& v : drawn) {
        if (v.IsGap()) {
            if (!pieces.back().isEmpty()) pieces.emplace_back();
            continue;
        }
        if (pieces.size() > kMaxPieces) {
            pieces[kMaxPieces - 1] += pieces.back();
            pieces.pop_back();
        }
        pieces.back() << QPointF(EpochOf(v.ms), v.value);
        line.drawn << QPointF(static_cast<double>(v.ms), v.value);
        if (v.ms >= from_ && v.ms <= to_)
            low = std::min(low, v.value), high = std::max(high, v.value);
    }
    if (low > high) {  // nothing inside the view: scale on the neighbours
        for (const QPointF& p : line.drawn)
            low = std::min(low, p.y()), high = std::max(high, p.y());
    }
    QList<QPointF> lone;
    std::size_t used = 0;
    for (QList<QPointF>& piece : pieces) {
        if (piece.size() == 1) {
            lone << piece.front();
        } else if (piece.size() > 1) {
            Piece(line, used++)->replace(piece);
        }
    }
    for (std::size_t i = used; i < line.pieces.size(); ++i) {
        if (line.pieces[i]->count() > 0) line.pieces[i]->clear();
    }
    line.lone->replace(lone);
    if (low > high) low = 0, high = 1;
    if (high - low < 1e-9) low -= 1, high += 1;
    const double margin = (high - low) * 0.06;
    line.axis->setRange(low - margin, high + margin);
}

QList<QPointF> TrendWindow::DrawnPoints(int field) const {
    for (const Line& line : lines_) {
        if (line.field == field) return line.drawn;
    }
    return {};
}

void TrendWindow::MoveCursorTo(std::int64_t ms) {
    cursorMs_ = ms;
    const QRectF plot = chart_->plotArea();
    const double share = to_ > from_ ? static_cast<double>(ms - from_) / (to_ - from_) : 0;
    const double x = plot.left() + share * plot.width();
    crossV_->setLine(x, plot.top(), x, plot.bottom());
    crossV_->setVisible(share >= 0 && share <= 1);

    QStringList parts;
    parts << Utf8(LocalTimeText(history_.Axis().Wall(ms)));
    for (const Line& line : lines_) {
        const auto at = history_.At(line.field, ms);
        const QString caption = line.pieces.front()->name();
        parts << caption + QStringLiteral(": ") +
                     (at && !at->IsGap() ? Utf8(ValueText(at->value)) : QStringLiteral("—"));
    }
    readout_->setText(parts.join(QStringLiteral("   ")));
}

void TrendWindow::HoverAt(const QPointF& viewPos) {
    const QRectF plot = chart_->plotArea();
    const QPointF scene = view_->mapToScene(viewPos.toPoint());
    if (!plot.contains(scene)) {
        crossH_->hide();
        return;
    }
    crossH_->setLine(plot.left(), scene.y(), plot.right(), scene.y());
    crossH_->show();
    MoveCursorTo(MsAtPixel(scene.x()));
}

QString TrendWindow::CursorReadout() const {
    return readout_->text();
}

QPixmap TrendWindow::Picture() {
    Refresh();
    return view_->grab();
}

QString TrendWindow::ProposedName(const QString& suffix) const {
    const LocalDateTime t = history_.Axis().Wall(to_);
    return QStringLiteral("График %1-%2-%3 %4-%5.%6")
        .arg(t.year, 4, 10, QLatin1Char('0'))
        .arg(t.month, 2, 10, QLatin1Char('0'))
        .arg(t.day, 2, 10, QLatin1Char('0'))
        .arg(t.hour, 2, 10, QLatin1Char('0'))
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(suffix);
}

bool TrendWindow::ExportCsvTo(const QString& path) {
    std::vector<CsvSeries> series;
    for (const Line& line : lines_) {
        CsvSeries s;
        s.caption = line.pieces.front()->name().toStdString();
        history_.Read(line.field, from_, to_, s.samples);
        series.push_back(std::move(s));
    }
    const std::string file = path.toStdString();
    const auto failure = WriteWholeFile(file, TrendCsvText(history_.Axis(), series, from_, to_));
    if (failure) ShowFileError(file, *failure);
    return !failure;
}

bool TrendWindow::ExportPngTo(const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Picture().save(&buffer, "PNG");
    const std::string file = path.toStdString();
    const auto failure = WriteWholeFile(file, bytes.toStdString());
    if (failure) ShowFileError(file, *failure);
    return !failure;
}

void TrendWindow::ShowFileError(const std::string& path, const FileFailure& failure) {
    // Opened without a nested event loop: reception and the other windows go on behind it.
    auto* box =
        new QMessageBox(QMessageBox::Critical, windowTitle(),
                        Utf8(FileNotWrittenText(path, failure.kind)), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("TrendExportError"));
    box->setDetailedText(Utf8(failure.systemText));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TrendWindow::ExportCsvExecute() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Экспорт графика в CSV"),
                                                      ProposedName(QStringLiteral("csv")),
                                                      QStringLiteral("Таблица CSV (*.csv)"));
    if (!path.isEmpty()) ExportCsvTo(path);
}

void TrendWindow::ExportPngExecute() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Сохранить график как картинку"), ProposedName(QStringLiteral("png")),
        QStringLiteral("Картинка PNG (*.png)"));
    if (!path.isEmpty()) ExportPngTo(path);
}

}  // namespace rv
