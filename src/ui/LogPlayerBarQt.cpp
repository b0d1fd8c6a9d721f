#include "ui/LogPlayerBarQt.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace rv {
namespace {

constexpr int kTickMs = 40;
constexpr std::int32_t kDayMs = 24 * 3600 * 1000;
// A line without a recorded time stands for this much playback time.
constexpr std::int32_t kUntimedLineMs = 100;
// "As fast as possible" plays this many lines a tick, so the window stays responsive.
constexpr std::size_t kFastLinesPerTick = 20000;
constexpr int kSpeeds[] = {1, 10, 100, 0};  // 0: as fast as possible

}  // namespace

LogPlayerBarQt::LogPlayerBarQt(MainForm& form, PlaybackClock& clock, QWidget* parent)
    : QWidget(parent), form_(form), clock_(clock) {
    setObjectName(QStringLiteral("PlayerBar"));
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(8, 2, 8, 2);
    play_ = new QToolButton(this);
    play_->setObjectName(QStringLiteral("PlayerPlay"));
    speed_ = new QComboBox(this);
    speed_->setObjectName(QStringLiteral("PlayerSpeed"));
    speed_->addItems({QStringLiteral("1×"), QStringLiteral("10×"), QStringLiteral("100×"),
                      QStringLiteral("как можно быстрее")});
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("PlayerSlider"));
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("PlayerTime"));
    lines_ = new QLabel(this);
    lines_->setObjectName(QStringLiteral("PlayerLines"));
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("PlayerClose"));
    close->setText(QStringLiteral("Закрыть"));
    close->setToolTip(QStringLiteral("Закрыть лог-файл"));
    line->addWidget(play_);
    line->addWidget(speed_);
    line->addWidget(slider_, 1);
    line->addWidget(time_);
    line->addWidget(lines_);
    line->addWidget(close);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] { Advance(kTickMs); });
    connect(play_, &QToolButton::clicked, this, [this] { SetPlaying(!playing_); });
    connect(close, &QToolButton::clicked, this, [this] { Close(); });
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        if (!showing_) SeekTo(value);
    });
    linkSubscription_ = form_.Connection().Subscribe(*this);
    SetPlaying(false);
    hide();
}

LogPlayerBarQt::~LogPlayerBarQt() = default;

void LogPlayerBarQt::Start(LogFile file) {
    player_.reset();
    file_ = std::make_unique<LogFile>(std::move(file));
    player_ = std::make_unique<LogPlayer>(form_, clock_, *file_);
    SetPlaying(false);
    ShowPosition();
    show();
}

void LogPlayerBarQt::Close() {
    SetPlaying(false);
    // Live work again: a clear frees the fields' samples instead of keeping them for seeks.
    form_.History().KeepClearedSamples(false);
    player_.reset();
    file_.reset();
    hide();
}

void LogPlayerBarQt::LinkChanged() {
    if (player_ && form_.Connection().IsOpen()) Close();
}

void LogPlayerBarQt::SetPlaying(bool playing) {
    playing_ = playing && player_ && !player_->AtEnd();
    budgetMs_ = 0;
    play_->setText(playing_ ? QStringLiteral("Пауза") : QStringLiteral("Воспроизвести"));
    if (playing_) {
        timer_->start(kTickMs);
    } else {
        timer_->stop();
    }
}

void LogPlayerBarQt::Advance(int elapsedMs) {
    if (!player_) return;
    const int speed = kSpeeds[std::max(0, speed_->currentIndex())];
    if (speed == 0) {
        player_->Play(kFastLinesPerTick);
    } else {
        budgetMs_ += static_cast<double>(elapsedMs) * speed;
        const LogFile& file = player_->File();
        while (!player_->AtEnd()) {
            const std::size_t next = player_->Position();
            std::int32_t gap = kUntimedLineMs;
            if (next == 0) {
                gap = 0;
            } else if (file.TimeMs(next) != LogFile::kNoTime &&
                       file.TimeMs(next - 1) != LogFile::kNoTime) {
                gap = (file.TimeMs(next) - file.TimeMs(next - 1) + kDayMs) % kDayMs;
            }
            if (gap > budgetMs_) break;
            budgetMs_ -= gap;
            player_->Play(1);
        }
    }
    if (player_->AtEnd()) SetPlaying(false);
    ShowPosition();
}

void LogPlayerBarQt::SeekTo(int position) {
    if (!player_) return;
    player_->SeekTo(static_cast<std::size_t>(std::max(0, position)));
    budgetMs_ = 0;
    ShowPosition();
}

void LogPlayerBarQt::ShowPosition() {
    if (!player_) return;
    const LogFile& file = player_->File();
    const std::size_t at = player_->Position();
    showing_ = true;
    slider_->setRange(0, static_cast<int>(file.Count()));
    slider_->setValue(static_cast<int>(at));
    showing_ = false;
    const std::int32_t ms =
        file.Count() == 0 ? LogFile::kNoTime : file.TimeMs(at == 0 ? 0 : at - 1);
    time_->setText(ms == LogFile::kNoTime ? QStringLiteral("--:--:--.---")
                                          : QString::fromStdString(LogFile::TimeText(ms)));
    QString counter = QStringLiteral("Строка %1 из %2").arg(at).arg(file.Count());
    if (file.SkippedLines() > 0) {
        counter += QStringLiteral(" (не прочитано: %1)").arg(file.SkippedLines());
    }
    lines_->setText(counter);
}

}  // namespace rv
