#include "ui/MonitorView.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "app/MainForm.h"
#include "ui/ColoursQt.h"
#include "ui/DataSectionWidget.h"
#include "ui/DisplayBinderQt.h"
#include "ui/PortStripWidget.h"
#include "ui/SectionColumnWidget.h"
#include "ui/SectionRowsWidget.h"
#include "ui/SectionWidget.h"
#include "ui/SensorAreaWidget.h"
#include "ui/SettingsSectionWidget.h"

namespace rv {
namespace {

constexpr Colour kColumnColours[kMaxColumns] = {kWhite, kLightGrey, kWhite, kLightGrey};

const char* ActionOfHeaderButton(const QString& button) {
    for (const auto& b : HeaderCommandButtons()) {
        if (button == QLatin1String(b.name)) return b.action;
    }
    return nullptr;
}

}  // namespace

MonitorView::MonitorView(MainForm& form, DisplayBinderQt& binder, QWidget* parent)
    : QWidget(parent), form_(form), binder_(binder) {
    setObjectName(QStringLiteral("Panel0"));
    setFont(WindowFont());
    SetBackground(this, kWhite);

    for (int i = 0; i < kMaxColumns; ++i) {
        auto* stack = new SectionColumnWidget;
        QWidget* panel = nullptr;
        if (i == 0) {
            // Column 1 is a scroll box without border and without vertical scroll bar.
            panel1_ = new QScrollArea(this);
            panel1_->setFrameShape(QFrame::NoFrame);
            panel1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            panel1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            panel1_->setWidgetResizable(true);
            panel1_->setWidget(stack);
            SetBackground(panel1_->viewport(), kColumnColours[i]);
            panel = panel1_;
        } else {
            stack->setParent(this);
            panel = stack;
        }
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        SetBackground(stack, kColumnColours[i]);
        columnPanels_.push_back(panel);
        columns_.push_back(stack);
    }
    holder_ = new QWidget(this);
    holder_->setObjectName(QStringLiteral("Panel"));
    holder_->setGeometry(0, 0, width(), 0);
    holder_->hide();

    for (const SectionPlan& plan : MonitorSections()) {
        SectionWidget* section = BuildSection(plan);
        sections_[plan.name] = section;
        section->setParent(holder_);
        section->SetOnFoldChanged([this, section] { RelayoutColumnOf(section); });
    }
    // "Подключение COM" and "Параметры устройства" head column 1 whatever the column count.
    columns_[0]->Append(Section("PanelA1"));
    columns_[0]->Append(Section("PanelA2"));

    connectionSubscription_ = form_.Connection().Subscribe(*this);
    PortsChanged();
    HighlightChanged();
    LinkChanged();
}

SectionWidget* MonitorView::BuildSection(const SectionPlan& plan) {
    SectionHeaderWidget* header = nullptr;
    if (std::string_view(plan.name) == "PanelA1") {
        portStrip_ = new PortStripWidget(plan, form_.Connection());
        header = portStrip_;
    } else {
        header = new SectionHeaderWidget(plan);
    }
    for (QToolButton* button : header->CommandButtons()) {
        const char* action = ActionOfHeaderButton(button->objectName());
        if (!action) continue;
        // The header buttons run their command directly, not through the action; their enabled
        // state follows the link separately.
        connect(button, &QToolButton::clicked, this,
                [this, action] { form_.Actions().Execute(action); });
        headerCommands_.push_back(button);
    }

    QWidget* body = nullptr;
    switch (plan.body) {
        case SectionBody::Rows:
            body = new SectionRowsWidget(plan, binder_);
            break;
        case SectionBody::SensorArea:
            body = new SensorAreaWidget(form_.Display(), binder_);
            break;
        case SectionBody::Settings:
            body = new SettingsSectionWidget(form_, binder_);
            break;
        case SectionBody::Data:
            dataSection_ = new DataSectionWidget(form_, binder_);
            body = dataSection_;
            break;
    }
    return new SectionWidget(plan, header, body);
}

void MonitorView::OpenLogSearch() {
    SectionWidget* data = Section("PanelC3");
    if (data != nullptr && data->Folded()) data->FoldClick();
    if (dataSection_ != nullptr) dataSection_->OpenSearch();
}

SectionWidget* MonitorView::Section(const std::string& name) const {
    auto it = sections_.find(name);
    return it == sections_.end() ? nullptr : it->second;
}

int MonitorView::ColumnCount() const {
    return rule_.ColumnCount();
}

void MonitorView::SetOnPanel0Resize(std::function<void()> f) {
    onPanel0Resize_ = std::move(f);
}

void MonitorView::Panel0Resize() {
    if (onPanel0Resize_) onPanel0Resize_();
    const ColumnRule::Result r = rule_.Apply(width());
    if (r.placeSections) PlaceSections(r.columns);
    LayoutColumns(r);
}

void MonitorView::PlaceSections(int columns) {
    for (std::string_view name : MovableSections()) {
        SectionWidget* section = Section(std::string(name));
        for (SectionColumnWidget* c : columns_) c->Remove(section);
        section->setParent(holder_);
    }
    const ColumnPlacement& placement = PlacementFor(columns);
    for (int c = 0; c < kMaxColumns; ++c) {
        for (std::string_view name : placement[c]) {
            SectionWidget* section = Section(std::string(name));
            if (name == "PanelA1" || name == "PanelA2") continue;  // they never move
            columns_[c]->Append(section);
        }
    }
}

void MonitorView::LayoutColumns(const ColumnRule::Result& r) {
    holder_->setGeometry(0, 0, width(), 0);
    int x = 0;
    for (int c = 0; c < kMaxColumns; ++c) {
        columnPanels_[c]->setGeometry(x, 0, r.widths[c], height());
        columnPanels_[c]->setVisible(r.widths[c] > 0);
        x += r.widths[c];
    }
    for (int c = 0; c < kMaxColumns; ++c) RelayoutColumn(c);
}

void MonitorView::RelayoutColumn(int column) {
    SectionColumnWidget* stack = columns_[column];
    if (column == 0) {
        // Column 1 is a scroll box: when its sections are taller than the view, its content
        // keeps their height and the wheel scrolls it. The scroll box sizes its content on its
        // own resize, so the stack is given its geometry here as well.
        const int natural = stack->NaturalHeight();
        stack->setMinimumHeight(natural);
        stack->setGeometry(0, -panel1_->verticalScrollBar()->value(), panel1_->width(),
                           std::max(natural, panel1_->height()));
    }
    stack->Relayout();
}

void MonitorView::RelayoutColumnOf(SectionWidget* section) {
    for (int c = 0; c < kMaxColumns; ++c) {
        const auto& in = columns_[c]->Sections();
        if (std::find(in.begin(), in.end(), section) != in.end()) RelayoutColumn(c);
    }
}

void MonitorView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Panel0Resize();
}

void MonitorView::PortsChanged() {
    portStrip_->RebuildPorts();
}

void MonitorView::HighlightChanged() {
    portStrip_->UpdatePort();
}

void MonitorView::LinkChanged() {
    const bool enabled = form_.Connection().HeaderButtonsEnabled();
    for (QToolButton* button : headerCommands_) button->setEnabled(enabled);
    // Why the port is not open, for the technician who points at "Нет подключения".
    if (auto* status = findChild<QWidget*>(QStringLiteral("L_PSTAT")))
        status->setToolTip(QString::fromStdString(form_.Connection().LinkReason()));
}

}  // namespace rv
