#include "ui/SectionWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <algorithm>

#include "layout/ColumnRule.h"
#include "ui/ColoursQt.h"
#include "ui/PicturesQt.h"

namespace rv {
namespace {

constexpr int kCell = 24;
constexpr int kCellGap = 4;
constexpr int kHeaderBorder = 2;

QIcon PictureOf(HeaderPicture picture) {
    switch (picture) {
        case HeaderPicture::On:
            return pictures::LogOnIcon();
        case HeaderPicture::Off:
            return pictures::LogOffIcon();
        case HeaderPicture::Refresh:
            break;
    }
    return pictures::RefreshIcon();
}

const QString kHideHint = QStringLiteral("Скрыть");
const QString kShowHint = QStringLiteral("Показать");

}  // namespace

QWidget* MakeButtonCell(QWidget* parent, QToolButton*& button) {
    auto* cell = new QWidget(parent);
    cell->setFixedSize(kCell, kCell);
    SetBackground(cell, kLightGreen);
    button = new QToolButton(cell);
    button->setAutoRaise(true);
    button->setGeometry(0, 0, kCell, kCell);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    return cell;
}

SectionHeaderWidget::SectionHeaderWidget(const SectionPlan& plan, QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(kSectionHeaderHeight);
    line_ = new QHBoxLayout(this);
    line_->setContentsMargins(kHeaderBorder, kHeaderBorder, kHeaderBorder, kHeaderBorder);
    line_->setSpacing(0);

    line_->addWidget(MakeButtonCell(this, fold_));
    fold_->setObjectName(QString::fromUtf8(plan.foldButton));
    line_->addSpacing(kCellGap);

    title_ = new QLabel(QString::fromUtf8(plan.title), this);
    SetBackground(title_, kLightGreen);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    title_->setAlignment(Qt::AlignCenter);
    // A long title is cut rather than widening the column.
    title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    title_->setMinimumWidth(0);
    line_->addWidget(title_, 1);

    for (const auto& command : plan.commands) {
        QToolButton* button = nullptr;
        line_->addSpacing(kCellGap);
        line_->addWidget(MakeButtonCell(this, button));
        button->setObjectName(QString::fromUtf8(command.button));
        button->setIcon(PictureOf(command.picture));
        if (command.hint) button->setToolTip(QString::fromUtf8(command.hint));
        commands_.push_back(button);
    }
}

SectionWidget::SectionWidget(const SectionPlan& plan, SectionHeaderWidget* header, QWidget* body,
                             QWidget* parent)
    : QWidget(parent), plan_(plan), header_(header), body_(body) {
    setObjectName(QString::fromUtf8(plan.name));
    header_->setParent(this);
    body_->setParent(this);
    header_->show();
    body_->show();
    connect(header_->FoldButton(), &QToolButton::clicked, this, [this] { FoldClick(); });
    ShowFoldState();
}

bool SectionWidget::FillsColumn() const {
    return SectionFillsColumn(plan_.name);
}

int SectionWidget::BodyHeight() const {
    if (plan_.body == SectionBody::Rows) return RowsHeight(plan_);
    return std::max(0, body_->sizeHint().height());
}

int SectionWidget::DockedHeight() const {
    if (folded_) return kFoldedSectionHeight;
    return 2 * kSectionBorder + kSectionHeaderHeight + BodyHeight();
}

void SectionWidget::FoldClick() {
    folded_ = !folded_;
    ShowFoldState();
    if (onFoldChanged_) onFoldChanged_();
}

void SectionWidget::ShowFoldState() {
    QToolButton* fold = header_->FoldButton();
    fold->setToolTip(folded_ ? kShowHint : kHideHint);
    fold->setIcon(QIcon(pictures::FoldPicture(folded_ ? pictures::kFoldDown : pictures::kFoldUp)));
}

void SectionWidget::LayoutContent() {
    const int inner = std::max(0, width() - 2 * kSectionBorder);
    header_->setGeometry(kSectionBorder, kSectionBorder, inner, kSectionHeaderHeight);
    const int top = kSectionBorder + kSectionHeaderHeight;
    // A section that fills its column gives its body what the column leaves; other bodies keep
    // their own height, and folding only cuts them off under the header.
    const int bodyHeight =
        TakesRestOfColumn() ? std::max(0, height() - top - kSectionBorder) : BodyHeight();
    body_->setGeometry(kSectionBorder, top, inner, bodyHeight);
}

void SectionWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutContent();
}

}  // namespace rv
