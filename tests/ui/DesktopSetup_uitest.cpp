// What the console brings to a plain Debian desktop. The design's font: Tahoma from fonts-wine,
// registered at start, draws every caption of the window at its design width in one size, so none
// needs narrowing, and values of the longest kind fit their boxes. Qt's own dialogs in Russian.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMap>
#include <QPushButton>

#include "support/ScriptedPlatform.h"
#include "ui/CaptionLabelWidget.h"
#include "ui/DesktopSetupQt.h"
#include "ui/MainWindow.h"

namespace rv {
namespace {

struct ShownWindow {
    ShownWindow() {
        window = std::make_unique<MainWindow>(
            test::ScriptedPlatform(device, nullptr, [] { return test::PortList({}); }));
        window->show();
        QApplication::processEvents();
    }
    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainWindow> window;
};

TEST(DesignFont, EveryCaptionOfTheWindowFitsItsDesignWidthInTahoma) {
    ASSERT_TRUE(RegisterDesignFonts()) << "Tahoma is missing: install fonts-wine";
    ShownWindow shown;
    MainWindow& window = *shown.window;

    // The widest captions of the sections (a wider font such as DejaVu Sans narrows them).
    QMap<QString, bool> widest;
    for (const char* text :
         {"Обновление настроек:", "Часы реального времени:", "Соединение с сервером:",
          "Подтверждение сервера:", "Прошло после отправки:", "Внешнее питание:",
          "Время работы двигателя (ч):", "Ангидрид сернистый (SO2):"}) {
        widest.insert(QString::fromUtf8(text), false);
    }
    int checked = 0;
    const QWidget* monitor = window.findChild<QWidget*>(QStringLiteral("tabLogger"));
    ASSERT_NE(monitor, nullptr);
    for (const QLabel* label : monitor->findChildren<QLabel*>()) {
        // The caption class has no meta-object of its own: told apart by its C++ type.
        const auto* caption = dynamic_cast<const CaptionLabel*>(label);
        if (caption == nullptr || caption->text().isEmpty()) continue;
        ++checked;
        if (widest.contains(caption->text())) widest[caption->text()] = true;
        EXPECT_EQ(QFontInfo(caption->font()).family(), QStringLiteral("Tahoma"))
            << caption->text().toStdString();
        EXPECT_EQ(caption->FittedFont().stretch(), QFont::Unstretched)
            << '"' << caption->text().toStdString() << "\" needs narrowing in "
            << caption->contentsRect().width() << " pixels";
    }
    EXPECT_GT(checked, 40);
    for (auto it = widest.begin(); it != widest.end(); ++it) {
        EXPECT_TRUE(it.value()) << "no caption \"" << it.key().toStdString() << '"';
    }
}

TEST(DesignFont, TheServerAddressFitsItsValueBox) {
    ASSERT_TRUE(RegisterDesignFonts());
    ShownWindow shown;
    MainWindow& window = *shown.window;
    DisplayModel& d = window.Form().Display();
    d.SetV(d.Field("LL_MD0"), "203.0.113.17:20100", kBlack);
    QApplication::processEvents();
    const auto* value = window.findChild<QLabel*>(QStringLiteral("LL_MD0"));
    ASSERT_NE(value, nullptr);
    EXPECT_LE(value->fontMetrics().horizontalAdvance(value->text()), value->contentsRect().width());
}

TEST(DesktopSetup, QtsOwnDialogsSpeakRussian) {
    ASSERT_TRUE(InstallRussianQtTexts())
        << "qtbase_ru.qm is missing: install qt6-translations-l10n";
    QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_EQ(lookIn->text(), QStringLiteral("Перейти к:"));  // "Look in:"
    const char* replace = "%1 already exists.\nDo you want to replace it?";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", replace), QString::fromLatin1(replace));
}

}  // namespace
}  // namespace rv
