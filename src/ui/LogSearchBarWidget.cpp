#include "ui/LogSearchBarWidget.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/Cp1251Qt.h"
#include "ui/TrafficLogView.h"

namespace rv {
namespace {

// One slice of the search: this long at most before the window's other work runs again.
constexpr int kSliceMs = 12;
// Lines scanned between two looks at the clock (well under a millisecond).
constexpr std::size_t kSliceLines = 16384;
constexpr int kButtonSize = 22;

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFixedSize(kButtonSize, kButtonSize);
    button->setFocusPolicy(Qt::NoFocus);  // the typing stays in the text
    return button;
}

}  // namespace

LogSearchBarWidget::LogSearchBarWidget(Console& console, TrafficLogView& view, QWidget* parent)
    : QWidget(parent), console_(console), view_(view), search_(console.Log()) {
    setObjectName(QStringLiteral("LogSearchBar"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 4, 0, 2);
    rows->setSpacing(2);

    auto* first = new QHBoxLayout;
    first->setSpacing(2);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("SearchText"));
    text_->setPlaceholderText(QStringLiteral("Найти в логе"));
    text_->setClearButtonEnabled(true);
    text_->installEventFilter(this);
    first->addWidget(text_, 1);
    previous_ = MakeButton(this, "SearchPrevious", QStringLiteral("Найти ранее (Shift+F3)"));
    previous_->setArrowType(Qt::UpArrow);
    first->addWidget(previous_);
    next_ = MakeButton(this, "SearchNext", QStringLiteral("Найти далее (F3)"));
    next_->setArrowType(Qt::DownArrow);
    first->addWidget(next_);
    close_ = MakeButton(this, "SearchClose", QStringLiteral("Закрыть (Esc)"));
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    first->addWidget(close_);
    rows->addLayout(first);

    auto* second = new QHBoxLayout;
    matchCase_ = new QCheckBox(QStringLiteral("Учитывать регистр"), this);
    matchCase_->setObjectName(QStringLiteral("SearchMatchCase"));
    second->addWidget(matchCase_);
    second->addStretch(1);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("SearchCount"));
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    second->addWidget(count_);
    rows->addLayout(second);

    filter_ = new QCheckBox(QStringLiteral("Только совпадения"), this);
    filter_->setObjectName(QStringLiteral("SearchFilter"));
    filter_->setToolTip(QStringLiteral("Показывать только строки с найденным текстом"));
    rows->addWidget(filter_);

    scanTimer_ = new QTimer(this);
    scanTimer_->setSingleShot(true);
    scanTimer_->setInterval(0);
    connect(scanTimer_, &QTimer::timeout, this, [this] { ScanSlice(); });

    connect(text_, &QLineEdit::textChanged, this, [this] { QueryChanged(); });
    connect(matchCase_, &QCheckBox::toggled, this, [this] { QueryChanged(); });
    connect(filter_, &QCheckBox::toggled, this, [this] { FilterChanged(); });
    connect(previous_, &QToolButton::clicked, this, [this] { FindPrevious(); });
    connect(next_, &QToolButton::clicked, this, [this] { FindNext(); });
    connect(close_, &QToolButton::clicked, this, [this] { Close(); });

    // F3, Shift+F3 and Escape wherever the focus is in the section: the text, the log, the
    // command line.
    QWidget* keysHome = parent != nullptr ? parent : this;
    const auto key = [&](QKeySequence sequence, auto run) {
        auto* shortcut = new QShortcut(sequence, keysHome);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, run);
        return shortcut;
    };
    findNextKey_ = key(QKeySequence(Qt::Key_F3), [this] { FindNext(); });
    findPreviousKey_ = key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { FindPrevious(); });
    closeKey_ = key(QKeySequence(Qt::Key_Escape), [this] { Close(); });
    EnableKeys(false);

    hide();
    logSubscription_ = console_.Subscribe(*this);
}

void LogSearchBarWidget::EnableKeys(bool enabled) {
    findNextKey_->setEnabled(enabled);
    findPreviousKey_->setEnabled(enabled);
    closeKey_->setEnabled(enabled);
}

void LogSearchBarWidget::Open() {
    // A new query looks first from the top of the view, or, while the view follows the newest
    // line, at the newest match.
    origin_ =
        view_.AtBottom()
            ? LogSearch::kNone
            : static_cast<std::size_t>(std::max(0, view_.LineOfRow(view_.FirstVisibleLine())));
    show();
    EnableKeys(true);
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
    if (!search_.Active()) return;
    view_.SetMarks(&search_, CurrentLine());
    if (filter_->isChecked()) view_.SetFilter(&search_);
    ScheduleScan();
}

void LogSearchBarWidget::Close() {
    if (isHidden()) return;
    hide();
    EnableKeys(false);
    scanTimer_->stop();
    view_.SetMarks(nullptr, -1);
    if (view_.Filtered()) view_.SetFilter(nullptr);
    if (current_ != LogSearch::kNone) view_.ShowLine(CurrentLine());
    view_.setFocus(Qt::OtherFocusReason);
}

int LogSearchBarWidget::CurrentLine() const {
    return current_ == LogSearch::kNone ? -1 : static_cast<int>(current_);
}

void LogSearchBarWidget::QueryChanged() {
    bool lossless = true;
    const std::string query = ToCp1251(text_->text(), &lossless);
    // A character the code page cannot hold is in no line of the log.
    search_.SetQuery(lossless ? query : std::string(), matchCase_->isChecked());
    current_ = LogSearch::kNone;
    if (filter_->isChecked()) view_.SetFilter(&search_);
    view_.SetMarks(&search_, -1);
    if (search_.Active()) {
        std::size_t found = search_.LastUpTo(LogSearch::kNone);
        if (origin_ != LogSearch::kNone) {
            found = search_.FirstFrom(origin_);
            if (found == LogSearch::kNone) found = search_.FirstFrom(0);
        }
        if (found != LogSearch::kNone) SetCurrent(found);
    }
    ScheduleScan();
    ShowCount();
}

void LogSearchBarWidget::FilterChanged() {
    view_.SetFilter(filter_->isChecked() ? &search_ : nullptr);
    if (current_ != LogSearch::kNone) view_.ShowLine(CurrentLine());
}

void LogSearchBarWidget::FindNext() {
    if (!search_.Active()) return;
    const std::size_t found = search_.Next(current_);
    if (found != LogSearch::kNone) SetCurrent(found);
    origin_ = current_;
    ShowCount();
}

void LogSearchBarWidget::FindPrevious() {
    if (!search_.Active()) return;
    const std::size_t found = search_.Previous(current_);
    if (found != LogSearch::kNone) SetCurrent(found);
    origin_ = current_;
    ShowCount();
}

void LogSearchBarWidget::SetCurrent(std::size_t line) {
    current_ = line;
    view_.MatchesGrew();  // the search may have gone further to find it
    view_.SetMarks(&search_, CurrentLine());
    view_.ShowLine(CurrentLine());
}

void LogSearchBarWidget::ScheduleScan() {
    if (!isHidden() && search_.Active() && !search_.Complete() && !scanTimer_->isActive())
        scanTimer_->start();
}

void LogSearchBarWidget::ScanSlice() {
    QElapsedTimer clock;
    clock.start();
    bool done = search_.Complete();
    while (!done && clock.elapsed() < kSliceMs) done = search_.Scan(kSliceLines);
    view_.MatchesGrew();
    if (current_ == LogSearch::kNone && !search_.Matches().empty()) {
        // The first match of a query that had none until now: marked, not scrolled to.
        current_ = search_.Matches().front();
        view_.SetMarks(&search_, CurrentLine());
    }
    ShowCount();
    if (!done) scanTimer_->start();
}

QString LogSearchBarWidget::CountText() const {
    if (!search_.Active())
        return text_->text().isEmpty() ? QString() : QStringLiteral("Не найдено");
    const bool through = search_.Complete();
    const std::size_t total = search_.Matches().size();
    if (total == 0) return through ? QStringLiteral("Не найдено") : QStringLiteral("…");
    const std::size_t ordinal = search_.OrdinalOf(current_);
    return QStringLiteral("%1 из %2%3")
        .arg(ordinal == LogSearch::kNone ? 0 : ordinal + 1)
        .arg(total)
        .arg(through ? QString() : QStringLiteral("…"));
}

void LogSearchBarWidget::ShowCount() {
    const QString text = CountText();
    if (count_->text() != text) count_->setText(text);
}

void LogSearchBarWidget::LinesAppended(std::size_t /*count*/) {
    ScheduleScan();
}

void LogSearchBarWidget::LogCleared() {
    search_.LogCleared();
    current_ = LogSearch::kNone;
    origin_ = LogSearch::kNone;
    view_.MatchesGrew();
    if (!isHidden()) view_.SetMarks(&search_, -1);
    ShowCount();
}

void LogSearchBarWidget::LogTruncated(std::size_t count) {
    search_.LogTruncated(count);
    if (current_ != LogSearch::kNone && current_ >= count) current_ = LogSearch::kNone;
    if (origin_ != LogSearch::kNone && origin_ >= count) origin_ = LogSearch::kNone;
    view_.MatchesGrew();
    if (!isHidden()) view_.SetMarks(&search_, CurrentLine());
    ShowCount();
    ScheduleScan();
}

bool LogSearchBarWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier) {
                FindPrevious();
            } else {
                FindNext();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace rv
