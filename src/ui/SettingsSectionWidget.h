#pragma once
// The body of "Настройки": the SIM PIN and access-point fields with validation as the technician
// types, and the read / write / automatic-mode buttons.
//
// The eight boxes show the settings editor's fields of the display model. What the technician
// types goes to the editor at once (SettingsEditor::TypeText), which validates the group; the box
// then shows the colour and, for the access-point fields, the hint as its tooltip. Text written by
// a reply replaces the box's text at the window's next values frame (the other boxes of a group
// that typing recoloured follow then too). The box is not rewritten with the text it has just
// produced, so typing never moves the cursor, and a typed character outside Windows-1251 stays
// visible (the field is refused with its hint) instead of turning into the "?" the model holds for
// it.
//
// The section observes the form's display model, actions and settings editor.

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "commands/ActionSet.h"
#include "commands/SettingsEditor.h"
#include "protocol/DisplayModel.h"

class QLineEdit;
class QPushButton;

namespace rv {

class DisplayBinderQt;
class MainForm;

class SettingsSectionWidget : public QWidget,
                              public DisplayObserver,
                              public ActionObserver,
                              public SettingsObserver {
  public:
    SettingsSectionWidget(MainForm& form, DisplayBinderQt& binder, QWidget* parent = nullptr);

    void FieldChanged(int field) override;
    void ActionChanged(int action) override;
    void HintChanged(int field) override;

  private:
    struct Box {
        int field;
        QLineEdit* edit;
        bool pin;
        // The text colour the box was given: replies rewrite the settings many times a second,
        // mostly as they were, and asking a widget for its palette costs more than the reply.
        mutable std::optional<Colour> colour;
        bool pending = false;  // to be synced at the next values frame
    };
    struct Button {
        int action;
        QPushButton* button;
    };

    QLineEdit* MakeBox(const char* name, bool pin, QWidget* parent);
    QWidget* MakeButtonRow(int first, int height, QWidget* parent);
    QWidget* MakeAccessPointRow(const char* caption, const char* field, QWidget* parent);
    Box* BoxOf(int field);
    void Typed(const Box& box);
    void Sync(const Box& box);
    // A reply rewrites the settings many times a second on a busy link: the boxes follow the
    // model at the window's values frames, like the labels (at once in a window with no pacer).
    void SyncLater(int field);

    MainForm& form_;
    std::vector<Box> boxes_;
    std::vector<Button> buttons_;
    int typingField_ = -1;
    Subscription displaySubscription_;
    Subscription actionsSubscription_;
    Subscription settingsSubscription_;
};

}  // namespace rv
