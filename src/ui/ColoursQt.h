#pragma once
// Windows colour values (0x00BBGGRR), as the unit's display rules and the window's design name
// them, turned into Qt colours; and the design's fonts.

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>
#include <optional>

#include "protocol/Colours.h"

namespace rv {

inline QColor ToQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// Colours of the window's design.
constexpr Colour kLightGreen = 0x00C0DCC0;  // strips, header cells, port cells
constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kLightGrey = 0x00EEEEEE;  // columns 2 and 4, copyable and settings edit boxes
constexpr Colour kFrameGrey = 0x00E5E5E5;  // lower and right frame edges of the framed panel

// A font of the design at its pixel height ("MS Sans Serif" 8 point is 11 pixels high at 96 dots
// per inch). A family the system does not have is drawn in its registered stand-in (see
// DesktopSetupQt), else in the platform's sans font.
inline QFont DesignFont(const QString& family, int pixelSize) {
    QString face = QFontDatabase::hasFamily(family) ? family : QString();
    for (const QString& substitute : QFont::substitutes(family)) {
        if (face.isEmpty() && QFontDatabase::hasFamily(substitute)) face = substitute;
    }
    QFont f = face.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont) : QFont(face);
    f.setPixelSize(pixelSize);
    return f;
}
// The window's font: "MS Sans Serif", 8 point.
inline QFont WindowFont() {
    return DesignFont(QStringLiteral("MS Sans Serif"), 11);
}

// Fills the widget's background with a design colour.
inline void SetBackground(QWidget* w, Colour c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToQColor(c));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
// Text colour of a value that replies rewrite many times a second: set only when it changes,
// since an equal palette still costs a palette resolution and a repaint.
inline void SetTextColour(QWidget* w, Colour colour) {
    const QColor c = ToQColor(colour);
    const QPalette& current = w->palette();
    if (current.color(QPalette::WindowText) == c && current.color(QPalette::Text) == c) return;
    QPalette p = current;
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}
// The same for a widget whose text colour only its owner sets: `shown` remembers the colour it
// was given, so an unchanged colour costs no palette resolution at all. True when it was set.
inline bool SetTextColourOnce(QWidget* w, std::optional<Colour>& shown, Colour colour) {
    if (shown == colour) return false;
    SetTextColour(w, colour);
    shown = colour;
    return true;
}
// The copyable and editable boxes of the design: borderless on light grey.
inline void StyleBox(QLineEdit* e) {
    e->setFrame(false);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, ToQColor(kLightGrey));
    e->setPalette(p);
}
// Text colour of a label or button.
inline void SetForeground(QWidget* w, Colour c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, ToQColor(c));
    p.setColor(QPalette::ButtonText, ToQColor(c));
    p.setColor(QPalette::Text, ToQColor(c));
    w->setPalette(p);
}

}  // namespace rv
