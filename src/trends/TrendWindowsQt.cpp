#include "trends/TrendWindowsQt.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QWidget>

#include "app/Console.h"
#include "trends/TrendChooserQt.h"
#include "trends/TrendWindow.h"
#include "ui/DisplayBinderQt.h"

namespace rv {
namespace {

const char* const kFieldProperty = "trendField";

}  // namespace

TrendWindowsQt::TrendWindowsQt(Console& console, DisplayBinderQt& binder, QMenu* serviceMenu,
                               QWidget* window)
    : QObject(window), console_(console), window_(window) {
    for (int field : console.History().KeptFields()) {
        QWidget* label = binder.WidgetOf(field);
        if (label == nullptr) continue;
        label->setProperty(kFieldProperty, field);
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QWidget::customContextMenuRequested, this,
                [this, field, label](const QPoint& at) { ShowContextMenu(field, label, at); });
        label->installEventFilter(this);
    }
    QAction* trends = serviceMenu->addAction(QStringLiteral("Графики…"));
    trends->setObjectName(QStringLiteral("TrendsAction"));
    connect(trends, &QAction::triggered, this, [this] { ChooseAndOpen(); });
}

void TrendWindowsQt::ShowContextMenu(int field, QWidget* label, const QPoint& at) {
    auto* menu = new QMenu(window_);
    menu->setObjectName(QStringLiteral("TrendContextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* open = menu->addAction(QStringLiteral("График"));
    open->setObjectName(QStringLiteral("TrendOpenAction"));
    connect(open, &QAction::triggered, this, [this, field] { Open({field}); });
    menu->popup(label->mapToGlobal(at));
}

bool TrendWindowsQt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        const QVariant field = watched->property(kFieldProperty);
        if (field.isValid()) {
            Open({field.toInt()});
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

TrendWindow* TrendWindowsQt::Open(std::vector<int> fields) {
    auto* trend =
        new TrendWindow(console_.History(), console_.Display(), std::move(fields), window_);
    windows_.push_back(trend);
    trend->show();
    trend->raise();
    return trend;
}

TrendChooserQt* TrendWindowsQt::ChooseAndOpen() {
    auto* chooser = new TrendChooserQt(console_.History(), console_.Display(), window_);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser, &QDialog::accepted, this, [this, chooser] {
        const std::vector<int> fields = chooser->ChosenFields();
        if (!fields.empty()) Open(fields);
    });
    chooser->open();
    return chooser;
}

std::vector<TrendWindow*> TrendWindowsQt::Windows() const {
    std::vector<TrendWindow*> open;
    for (const QPointer<TrendWindow>& w : windows_) {
        if (w) open.push_back(w);
    }
    return open;
}

void TrendWindowsQt::CloseAll() {
    for (TrendWindow* w : Windows()) w->close();
    windows_.clear();
}

}  // namespace rv
