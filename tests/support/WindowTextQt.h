#pragma once
// What a display field shows in the window, found by its object name.

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "ui/FramePacerQt.h"

namespace rv::test {

// The window's values are shown at its next values frame: it comes now.
inline QString ShownText(const QWidget& root, const char* name) {
    if (FramePacerQt* pacer = FramePacerQt::Of(&root)) pacer->FlushNow();
    auto* w = root.findChild<QWidget*>(QString::fromUtf8(name));
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return QStringLiteral("<missing %1>").arg(QString::fromUtf8(name));
}

}  // namespace rv::test
