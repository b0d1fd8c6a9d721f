#pragma once
// The real calibration page on a recorder of its own, shown offscreen with every channel empty, an
// export target that keeps what it was asked and given, and the ways a test finds its widgets.

#include <gtest/gtest.h>

#include <QApplication>
#include <QList>
#include <QScrollArea>
#include <QString>
#include <QWidget>
#include <string>

#include "calibration/CalibrationPage.h"
#include "support/FakeExportTarget.h"

namespace rv::test {

inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class CalibrationPageRig : public ::testing::Test {
  protected:
    CalibrationPageRig() {
        display.ClearDisplay();
        recorder.InitTar();
        page.resize(1500, 600);
        page.show();
        Settle();
    }

    static void Settle() {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }

    template <typename T>
    T* Find(const QString& name) {
        T* w = page.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // A channel's widget: prefix, channel number, suffix ("pd", 2, "4" is pd24).
    template <typename T>
    T* Find(const char* prefix, int n, const char* suffix = "") {
        return Find<T>(QString::fromLatin1(prefix) + QString::number(n) +
                       QString::fromLatin1(suffix));
    }

    // The row panels of channel n that are shown, top to bottom.
    QList<QWidget*> VisibleRows(int n) {
        QList<QWidget*> out;
        auto* area = Find<QScrollArea>("scbDat", n);
        for (QWidget* row : area->widget()->findChildren<QWidget*>(QStringLiteral("RowPanel"))) {
            if (!row->isHidden()) out << row;
        }
        return out;
    }

    DisplayModel display;
    FixedClock clock{{2026, 12, 7, 9, 5, 7}};
    RegionalFormats formats;
    Recorder recorder{display, clock, formats};
    FakeTarget target;
    CalibrationPage page{recorder, [] { return std::string("/opt/revodive/"); }, nullptr, &target};
};

}  // namespace rv::test
