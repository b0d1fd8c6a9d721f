#include "ui/DisplayBinderQt.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include "text/Cp1251.h"
#include "ui/ColoursQt.h"
#include "ui/Cp1251Qt.h"
#include "ui/FramePacerQt.h"

namespace rv {
DisplayBinderQt::DisplayBinderQt(DisplayModel& model, QObject* parent)
    : QObject(parent),
      model_(model),
      widgets_(model.FieldCount(), nullptr),
      labelColours_(model.FieldCount()),
      displaySubscription_(model_.Subscribe(*this)) {}

QWidget* DisplayBinderQt::Make(std::string_view name, QWidget* parent) {
    const int field = model_.Field(name);
    if (model_.Kind(field) == FieldKind::Label) return MakeLabel(name, parent);
    return MakeEdit(name, parent);
}

QLabel* DisplayBinderQt::MakeLabel(std::string_view name, QWidget* parent) {
    return BindLabel(name, new QLabel(parent));
}

QLabel* DisplayBinderQt::BindLabel(std::string_view name, QLabel* label) {
    const int field = model_.Field(name);
    label->setObjectName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    label->setTextFormat(Qt::PlainText);
    // A value changes many times a second: the label paints its own background (its section's
    // colour, inherited), so a new value repaints the label alone, not the section behind it.
    label->setAutoFillBackground(true);
    widgets_[field] = label;
    ShowNow(field);
    return label;
}

QLineEdit* DisplayBinderQt::MakeEdit(std::string_view name, QWidget* parent) {
    const int field = model_.Field(name);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    StyleBox(edit);
    if (model_.Kind(field) == FieldKind::Edit) edit->setReadOnly(true);
    widgets_[field] = edit;
    ShowNow(field);
    return edit;
}

QProgressBar* DisplayBinderQt::MakeBar(Bar bar, QWidget* parent) {
    auto* pb = new QProgressBar(parent);
    pb->setObjectName(bar == Bar::SignalLevel ? QStringLiteral("SB_ML") : QStringLiteral("SB_PB"));
    pb->setRange(0, DisplayModel::BarMaximum(bar));
    pb->setTextVisible(false);
    pb->setValue(model_.BarPosition(bar));
    bars_[static_cast<int>(bar)] = pb;
    return pb;
}

QWidget* DisplayBinderQt::WidgetOf(int field) const {
    return field >= 0 && static_cast<std::size_t>(field) < widgets_.size() ? widgets_[field]
                                                                           : nullptr;
}

void DisplayBinderQt::FieldChanged(int field) {
    ShowLater(field);
}

void DisplayBinderQt::BarChanged(Bar bar) {
    ShowLater(-1 - static_cast<int>(bar));
}

void DisplayBinderQt::ShowLater(int field) {
    QWidget* w = field < 0 ? bars_[-1 - field] : WidgetOf(field);
    if (w == nullptr) return;
    if (pendingMark_.empty()) pendingMark_.assign(widgets_.size() + 2, false);
    if (pendingMark_[field + 2]) return;  // shown at the values frame already asked for
    FramePacerQt* pacer = qobject_cast<QLineEdit*>(w) == nullptr ? FramePacerQt::Of(w) : nullptr;
    if (pacer == nullptr) {
        ShowNow(field);
        return;
    }
    pendingMark_[field + 2] = true;
    pending_.push_back(field);
    pacer->RequestValuesFrame(this, [this] { ShowPending(); });
}

void DisplayBinderQt::ShowPending() {
    std::vector<int> pending;
    pending.swap(pending_);
    for (const int field : pending) {
        pendingMark_[field + 2] = false;
        ShowNow(field);
    }
}

void DisplayBinderQt::ShowNow(int field) {
    if (field < 0) {
        // Replies repeat the level many times a second; an equal value would still repaint it.
        const Bar bar = static_cast<Bar>(-1 - field);
        QProgressBar* pb = bars_[-1 - field];
        if (pb->value() != model_.BarPosition(bar)) pb->setValue(model_.BarPosition(bar));
        return;
    }
    QWidget* w = WidgetOf(field);
    if (!w) return;
    const QString text = FromCp1251(model_.Text(field));
    if (auto* label = qobject_cast<QLabel*>(w)) {
        // Only the binder colours its labels: the colour they show is known without asking the
        // palette, which costs more than the new text.
        const bool recoloured = SetTextColourOnce(w, labelColours_[field], model_.ColourOf(field));
        if (!recoloured && label->text() == text) return;
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        SetTextColour(w, model_.ColourOf(field));
        // A masked edit that the technician is typing in already shows this text: rewriting it
        // would move the cursor under the technician's fingers.
        if (edit->text() != text) edit->setText(text);
    }
}

}  // namespace rv
