#include "ui/SettingsSectionWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MainForm.h"
#include "text/Cp1251.h"
#include "ui/CaptionLabelWidget.h"
#include "ui/ColoursQt.h"
#include "ui/Cp1251Qt.h"
#include "ui/FramePacerQt.h"
#include "ui/SeparatorRowWidget.h"

namespace rv {
namespace {

constexpr int kRowHeight = 20;
constexpr int kPinCaptionWidth = 30;
constexpr int kPinBoxWidth = 41;
constexpr int kCaptionWidth = 64;
constexpr int kCaptionGap = 8;
constexpr int kPinButtonRowHeight = 29;
constexpr int kAccessPointButtonRowHeight = 53;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 22;
constexpr int kButtonGap = 3;
constexpr int kSeparatorHeight = 6;

// The PIN boxes as the form's mask "!9999;1;*" has them: four positions that each take one
// optional digit, unfilled positions drawn as "*".
const QString kPinInputMask = QStringLiteral("0000;*");
constexpr QChar kPinBlank = u'*';

QLabel* Caption(const char* utf8, int width, Qt::Alignment align, QWidget* parent) {
    return new CaptionLabel(QString::fromUtf8(utf8), width, parent, align);
}

QWidget* FixedRow(int height, QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setFixedHeight(height);
    return row;
}

// The field text a box stands for (UTF-8): a PIN box's blank positions read as spaces.
QString BoxText(const QLineEdit* edit, bool pin) {
    if (!pin) return edit->text();
    QString text = edit->displayText();
    text.replace(kPinBlank, u' ');
    return text;
}

void SetBoxText(QLineEdit* edit, bool pin, const std::string& cp1251) {
    QString text = FromCp1251(cp1251);
    // A PIN's blanks are the mask's unfilled positions.
    if (pin) text.replace(u' ', kPinBlank);
    edit->setText(text);
}

const std::string& RefusedHint() {
    static const std::string hint = W(kHintNotInCodePage);
    return hint;
}

}  // namespace

SettingsSectionWidget::SettingsSectionWidget(MainForm& form, DisplayBinderQt& /*binder*/,
                                             QWidget* parent)
    : QWidget(parent), form_(form) {
    // The boxes are made here rather than by the display binder: the binder copies the model's
    // text into its widgets, which would move the cursor under the technician's fingers.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Row 1: the two PIN codes side by side.
    QWidget* pins = FixedRow(kRowHeight, this);
    auto* pinsLayout = new QHBoxLayout(pins);
    pinsLayout->setContentsMargins(0, 0, 0, 0);
    pinsLayout->setSpacing(0);
    const char* pinCaptions[2] = {"PIN1:", "PIN2:"};
    const char* pinFields[2] = {"LL_SP", "LL_SP2"};
    for (int sim = 0; sim < 2; ++sim) {
        pinsLayout->addWidget(Caption(pinCaptions[sim], kPinCaptionWidth, Qt::AlignLeft, pins));
        QLineEdit* box = MakeBox(pinFields[sim], true, pins);
        box->setFixedWidth(kPinBoxWidth);
        pinsLayout->addWidget(box);
        pinsLayout->addStretch(1);
    }
    layout->addWidget(pins);
    layout->addWidget(MakeButtonRow(0, kPinButtonRowHeight, this));

    auto* separator = new SeparatorRow(kCaptionWidth + kCaptionGap, this);
    separator->setFixedHeight(kSeparatorHeight);
    layout->addWidget(separator);

    layout->addWidget(MakeAccessPointRow("APN1:", "LL_SS01", this));
    layout->addWidget(MakeAccessPointRow("Логин1:", "LL_SS11", this));
    layout->addWidget(MakeAccessPointRow("Пароль1:", "LL_SS21", this));
    layout->addWidget(MakeButtonRow(3, kAccessPointButtonRowHeight, this));
    layout->addWidget(MakeAccessPointRow("APN2:", "LL_SS02", this));
    layout->addWidget(MakeAccessPointRow("Логин2:", "LL_SS12", this));
    layout->addWidget(MakeAccessPointRow("Пароль2:", "LL_SS22", this));
    layout->addWidget(MakeButtonRow(6, kAccessPointButtonRowHeight, this));

    displaySubscription_ = form_.Display().Subscribe(*this);
    actionsSubscription_ = form_.Actions().Subscribe(*this);
    settingsSubscription_ = form_.Settings().Subscribe(*this);
}

QLineEdit* SettingsSectionWidget::MakeBox(const char* name, bool pin, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    StyleBox(edit);
    if (pin) edit->setInputMask(kPinInputMask);
    boxes_.push_back(Box{form_.Display().Field(name), edit, pin, std::nullopt, false});
    const std::size_t index = boxes_.size() - 1;
    Sync(boxes_[index]);
    // textEdited comes from the technician only, never from setText.
    connect(edit, &QLineEdit::textEdited, this, [this, index] { Typed(boxes_[index]); });
    return edit;
}

QWidget* SettingsSectionWidget::MakeAccessPointRow(const char* caption, const char* field,
                                                   QWidget* parent) {
    QWidget* row = FixedRow(kRowHeight, parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    h->addWidget(Caption(caption, kCaptionWidth, Qt::AlignRight, row));
    h->addSpacing(kCaptionGap);
    h->addWidget(MakeBox(field, false, row), 1);
    return row;
}

QWidget* SettingsSectionWidget::MakeButtonRow(int first, int height, QWidget* parent) {
    QWidget* row = FixedRow(height, parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 3, 0, 0);
    h->setSpacing(kButtonGap);
    const auto& plan = SettingsButtons();
    for (int i = first; i < first + 3; ++i) {
        const SettingsButton& b = plan[i];
        auto* button = new QPushButton(QString::fromUtf8(b.caption), row);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setFixedSize(kButtonWidth, kButtonHeight);
        button->setAutoDefault(false);
        const int action = form_.Actions().Index(b.action);
        button->setEnabled(form_.Actions().Enabled(action));
        const std::string name = b.name;
        // Each button runs its own click handler (for most it is the bound action's execute).
        connect(button, &QPushButton::clicked, this,
                [this, name] { form_.Settings().ButtonClick(name); });
        buttons_.push_back(Button{action, button});
        h->addWidget(button, 0, Qt::AlignTop);
    }
    h->addStretch(1);
    return row;
}

SettingsSectionWidget::Box* SettingsSectionWidget::BoxOf(int field) {
    for (auto& box : boxes_) {
        if (box.field == field) return &box;
    }
    return nullptr;
}

void SettingsSectionWidget::Typed(const Box& box) {
    typingField_ = box.field;
    const QByteArray utf8 = BoxText(box.edit, box.pin).toUtf8();
    form_.Settings().TypeText(box.field, std::string_view(utf8.constData(), utf8.size()));
    typingField_ = -1;
    Sync(box);
}

void SettingsSectionWidget::Sync(const Box& box) {
    const DisplayModel& model = form_.Display();
    const std::string& text = model.Text(box.field);
    if (typingField_ != box.field) {
        // Rewrite only when the box no longer shows the field: a reply wrote another text, or a
        // refused character is no longer what the editor holds the field to.
        bool lossless = true;
        const std::string shownCp1251 = ToCp1251(BoxText(box.edit, box.pin), &lossless);
        const bool refusalShown = !lossless && form_.Settings().Hint(box.field) == RefusedHint();
        if (shownCp1251 != text || (!lossless && !refusalShown)) {
            SetBoxText(box.edit, box.pin, text);
        }
    }
    SetTextColourOnce(box.edit, box.colour, model.ColourOf(box.field));
    if (!box.pin) {
        // Set only when it changes: a new tooltip is announced to the widget even when equal.
        const QString hint = FromCp1251(form_.Settings().Hint(box.field));
        if (box.edit->toolTip() != hint) box.edit->setToolTip(hint);
    }
}

void SettingsSectionWidget::FieldChanged(int field) {
    SyncLater(field);
}

void SettingsSectionWidget::HintChanged(int field) {
    SyncLater(field);
}

void SettingsSectionWidget::SyncLater(int field) {
    Box* box = BoxOf(field);
    if (box == nullptr || box->pending) return;  // synced at the values frame already asked for
    FramePacerQt* pacer = FramePacerQt::Of(this);
    if (pacer == nullptr) {
        Sync(*box);
        return;
    }
    box->pending = true;
    pacer->RequestValuesFrame(this, [this] {
        for (Box& b : boxes_) {
            if (!b.pending) continue;
            b.pending = false;
            Sync(b);
        }
    });
}

void SettingsSectionWidget::ActionChanged(int action) {
    for (const auto& b : buttons_) {
        if (b.action == action) b.button->setEnabled(form_.Actions().Enabled(action));
    }
}

}  // namespace rv
