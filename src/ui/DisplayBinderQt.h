#pragma once
// Shows the core's display model in widgets: every display field (label, read-only edit, masked
// edit) and the two progress bars follow the model's text, colour and bar position. Widgets are
// created here with the field's name as object name, so tests find them by name.
//
// In a window that paces its frames, labels and bars follow the model at the window's values frame
// (see FramePacerQt): a value that changes ten times between two of them is shown once, in its
// latest state. Edits, and widgets of a window without a pacer, follow it at once.

#include <QObject>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "protocol/DisplayModel.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QWidget;

namespace rv {

class DisplayBinderQt : public QObject, public DisplayObserver {
  public:
    explicit DisplayBinderQt(DisplayModel& model, QObject* parent = nullptr);

    // The widget of a display field, made once: a QLabel for a label field, a borderless
    // light-grey read-only QLineEdit for an edit field (its text can be selected and copied), a
    // borderless light-grey QLineEdit for a masked edit (the settings section installs its input
    // handling). The object name is the field's name.
    QWidget* Make(std::string_view name, QWidget* parent);
    QLabel* MakeLabel(std::string_view name, QWidget* parent);
    // Makes `label` (a label of a kind of its own) the widget of the field: it gets the field's
    // name and follows the model from now on. Returns it.
    QLabel* BindLabel(std::string_view name, QLabel* label);
    QLineEdit* MakeEdit(std::string_view name, QWidget* parent);
    // The progress bar SB_ML (0..31) or SB_PB (0..4).
    QProgressBar* MakeBar(Bar bar, QWidget* parent);

    // The widget made for a field, nullptr when none was made.
    QWidget* WidgetOf(int field) const;

    void FieldChanged(int field) override;
    void BarChanged(Bar bar) override;

  private:
    // A field's index, or -1 - the bar for a bar.
    void ShowLater(int field);
    void ShowNow(int field);
    void ShowPending();

    DisplayModel& model_;
    std::vector<QWidget*> widgets_;                    // by field index
    std::vector<std::optional<Colour>> labelColours_;  // by field index: a label's text colour
    QProgressBar* bars_[2] = {nullptr, nullptr};
    std::vector<int> pending_;       // fields and bars to show at the values frame, once each
    std::vector<bool> pendingMark_;  // by field index + 2: in pending_
    Subscription displaySubscription_;
};

}  // namespace rv
