#include "ui/DisplayBinderQt.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include "text/Cp1251.h"
#include "ui/ColoursQt.h"
#include "ui/Cp1251Qt.h"

namespace rv {
namespace {}  // namespace

DisplayBinderQt::DisplayBinderQt(DisplayModel& model, QObject* parent)
    : QObject(parent),
      model_(model),
      widgets_(model.FieldCount(), nullptr),
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
    Show(field);
    return label;
}

QLineEdit* DisplayBinderQt::MakeEdit(std::string_view name, QWidget* parent) {
    const int field = model_.Field(name);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    StyleBox(edit);
    if (model_.Kind(field) == FieldKind::Edit) edit->setReadOnly(true);
    widgets_[field] = edit;
    Show(field);
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
    Show(field);
}

void DisplayBinderQt::BarChanged(Bar bar) {
    if (auto* pb = bars_[static_cast<int>(bar)]) pb->setValue(model_.BarPosition(bar));
}

void DisplayBinderQt::Show(int field) {
    QWidget* w = WidgetOf(field);
    if (!w) return;
    const QString text = FromCp1251(model_.Text(field));
    SetTextColour(w, model_.ColourOf(field));
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        // A masked edit that the technician is typing in already shows this text: rewriting it
        // would move the cursor under the technician's fingers.
        if (edit->text() != text) edit->setText(text);
    }
}

}  // namespace rv
