#include "ui/DataSectionWidget.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MainForm.h"
#include "text/Cp1251.h"
#include "ui/CaptionLabelWidget.h"
#include "ui/ColoursQt.h"
#include "ui/Cp1251Qt.h"
#include "ui/DisplayBinderQt.h"
#include "ui/LogSearchBarWidget.h"
#include "ui/TrafficLogView.h"

namespace rv {
namespace {

constexpr int kTopGap = 4;
constexpr int kRowHeight = 20;
constexpr int kCaptionWidth = 64;
constexpr int kCaptionGap = 8;
constexpr int kCommandBarHeight = 28;
constexpr int kSendBoxLeft = 40;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 21;
constexpr int kButtonGap = 8;

}  // namespace

DataSectionWidget::DataSectionWidget(MainForm& form, DisplayBinderQt& binder, QWidget* parent)
    : QWidget(parent), form_(form), doCommand_(form.Actions().Index("DoCommand")) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addSpacing(kTopGap);

    // The received-bytes counter, right-aligned at the row's end.
    auto* counter = new QWidget(this);
    counter->setFixedHeight(kRowHeight);
    auto* counterLayout = new QHBoxLayout(counter);
    counterLayout->setContentsMargins(0, 0, 0, 0);
    counterLayout->setSpacing(0);
    counterLayout->addStretch(1);
    auto* caption = new CaptionLabel(QString::fromUtf8("Получено:"), kCaptionWidth, counter);
    counterLayout->addWidget(caption);
    counterLayout->addSpacing(kCaptionGap);
    QLabel* bytes = binder.MakeLabel("LL_PIN", counter);
    bytes->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    counterLayout->addWidget(bytes);
    layout->addWidget(counter);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);

    memo_ = new TrafficLogView(form_, this);
    layout->addWidget(memo_, 1);
    // Under the log, hidden until the technician asks for it (Ctrl+F).
    searchBar_ = new LogSearchBarWidget(form_, *memo_, this);
    layout->addWidget(searchBar_);

    // The free command line: the box starts 40 pixels in and stretches with the bar (108 pixels
    // wide at the section's design width); the button stands at the right end.
    auto* bar = new QWidget(this);
    bar->setFixedHeight(kCommandBarHeight);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(kSendBoxLeft, 0, 0, 0);
    barLayout->setSpacing(kButtonGap);
    sendBox_ = new QLineEdit(QStringLiteral(">"), bar);
    sendBox_->setObjectName(QStringLiteral("SendBox"));
    barLayout->addWidget(sendBox_, 1);
    button1_ = new QPushButton(QString::fromUtf8("Выполнить"), bar);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setFixedSize(kButtonWidth, kButtonHeight);
    button1_->setAutoDefault(false);
    button1_->setEnabled(form_.Actions().Enabled(doCommand_));
    barLayout->addWidget(button1_);
    layout->addWidget(bar);

    connect(button1_, &QPushButton::clicked, this, [this] { DoCommandClick(); });
    actionsSubscription_ = form_.Actions().Subscribe(*this);
}

void DataSectionWidget::ActionChanged(int action) {
    if (action == doCommand_) button1_->setEnabled(form_.Actions().Enabled(action));
}

void DataSectionWidget::OpenSearch() {
    searchBar_->Open();
}

void DataSectionWidget::DoCommandClick() {
    form_.ExecuteAction("DoCommand", ToCp1251(sendBox_->text()));
}

}  // namespace rv
