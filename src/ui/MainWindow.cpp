#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

#include "app/LogSave.h"
#include "calibration/CalibrationPage.h"
#include "calibration/TarExportDialogQt.h"
#include "text/Cp1251.h"
#include "ui/ColoursQt.h"
#include "ui/Cp1251Qt.h"
#include "ui/DemoHooksQt.h"
#include "ui/DisplayBinderQt.h"
#include "ui/FramePacerQt.h"
#include "ui/MainMenuQt.h"
#include "ui/MonitorView.h"
#include "ui/PicturesQt.h"
#include "ui/RegionalFormatsQt.h"
#include "ui/ReportStripWidget.h"
#include "ui/TimerTickQt.h"

namespace rv {
namespace {

constexpr int kDesignClientWidth = 1008;
constexpr int kDesignClientHeight = 710;
constexpr int kStartHeight = 600;
constexpr int kMinOuterWidth = 1024;
constexpr int kMinOuterHeight = 600;
constexpr int kBottomBarHeight = 40;

QWidget* ColouredPanel(QWidget* parent, Colour colour, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromUtf8(name));
    SetBackground(panel, colour);
    return panel;
}

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

MainWindow::MainWindow(FormPlatform platform, QWidget* parent)
    : QMainWindow(parent), formats_(RegionalFormatsOf()) {
    setWindowTitle(QStringLiteral("Rarevi Revodive"));
    setFont(WindowFont());
    setWindowIcon(pictures::AppIcon());
    // Lines arrive every tick; the window is painted once a frame at most.
    new FramePacerQt(this);

    ticks_ = std::make_unique<TimerTickQt>();
    platform.ticks = ticks_.get();
    platform.openHomePage = [](const std::string& address) {
        QDesktopServices::openUrl(QUrl(Utf8(address)));
    };
    form_ = std::make_unique<MainForm>(formats_, clock_, std::move(platform));
    binder_ = std::make_unique<DisplayBinderQt>(form_->Display());

    BuildLayout();
    FormCreate();
    StartDemoHooks();
}

MainWindow::~MainWindow() {
    // Reception ends before the form it feeds goes away.
    StopReception();
}

void MainWindow::BuildLayout() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pages_ = new QTabWidget(central);
    pages_->setObjectName(QStringLiteral("PC"));
    // The views are switched from the menu only: the page tabs are not there for the technician.
    pages_->tabBar()->hide();
    pages_->setDocumentMode(true);

    auto* logger = new QWidget(pages_);
    logger->setObjectName(QStringLiteral("tabLogger"));
    auto* loggerLayout = new QVBoxLayout(logger);
    loggerLayout->setContentsMargins(0, 0, 0, 0);
    monitor_ = new MonitorView(*form_, *binder_, logger);
    loggerLayout->addWidget(monitor_);
    pages_->addTab(logger, QString());

    calibration_ = new CalibrationPage(
        form_->Calibration(), [this] { return exePath_; }, pages_);
    pages_->addTab(calibration_, QString());

    monitor_->SetOnPanel0Resize([this] { Panel0Resized(); });

    layout->addWidget(pages_, 1);
    layout->addWidget(BuildBottomBar());
    setCentralWidget(central);

    MainMenuQt::WindowHandlers handlers;
    handlers.statClear = [this] { form_->StatClearExecute(); };
    handlers.saveLog = [this] { SaveActionExecute(); };
    handlers.close = [this] { close(); };
    handlers.findPorts = [this] {
        try {
            form_->Connection().FindActionExecute();
        } catch (const std::exception& e) {
            // The technician asked for the list: tell him at once why there is none.
            ShowUserError(Utf8(e.what()));
        }
    };
    handlers.showMonitor = [this] { N8Click(); };
    handlers.showCalibration = [this] { N9Click(); };
    menu_ = new MainMenuQt(menuBar(), *form_, std::move(handlers), this);  // the window owns it

    // The design's client area, at its design position (the outer sizes follow in FormCreate).
    resize(kDesignClientWidth, kDesignClientHeight);
    move(620, 291);
}

QWidget* MainWindow::BuildBottomBar() {
    QWidget* bar = ColouredPanel(this, kWhite, "Panel5");
    bar->setFixedHeight(kBottomBarHeight);
    auto* line = new QHBoxLayout(bar);
    line->setContentsMargins(8, 8, 8, 8);
    line->setSpacing(0);
    line->addSpacing(4);
    QWidget* strip = ColouredPanel(bar, kLightGreen, "Panel6");
    strip->setFixedHeight(24);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->addWidget(new ReportStripWidget(form_->Reports(), strip), 1);
    line->addWidget(strip, 1);
    line->addSpacing(4);
    QWidget* cell = ColouredPanel(bar, kLightGreen, "Panel7");
    cell->setFixedSize(126, 24);
    auto* home = new QToolButton(cell);
    home->setObjectName(QStringLiteral("SpeedButton5"));
    home->setAutoRaise(true);
    home->setFixedSize(126, 24);
    const QPixmap maker = pictures::MakerPicture();
    home->setIcon(QIcon(maker));
    home->setIconSize(maker.size());
    home->setToolTip(QStringLiteral("Домашняя страница"));
    connect(home, &QToolButton::clicked, this, [this] { form_->Actions().GoHomeExecute(); });
    line->addWidget(cell);
    return bar;
}

void MainWindow::FormCreate() {
    try {
        exePath_ = ApplicationExePathQt();
        ApplyOuterSize();
        calibration_->ScrollToLeft();
        pages_->setCurrentIndex(0);
        form_->FormCreate();
        monitor_->Panel0Resize();
    } catch (const std::exception& e) {
        // The window still opens; the technician sees what went wrong.
        form_->PostReport(report_topic::kStartup, e.what(), ReportLevel::Error);
    }
}

int MainWindow::CurrentPage() const {
    return pages_->currentIndex();
}

void MainWindow::N8Click() {
    pages_->setCurrentIndex(0);
}

void MainWindow::N9Click() {
    pages_->setCurrentIndex(1);
}

void MainWindow::Panel0Resized() {
    // Every page of the page control has the same size, but only the page in front is laid out:
    // the calibration page's own width is stale while the monitor view is shown.
    const QWidget* front = pages_->currentWidget();
    calibration_->SetChannelWidth(CalibrationColumnWidth(front ? front->width() : 0));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (monitor_ && calibration_) Panel0Resized();
}

void MainWindow::SaveActionExecute() {
    const DisplayModel& d = form_->Display();
    const std::string proposed = ProposedLogFileName(
        d.Text(d.Field("LL_DN")), d.Text(d.Field("LL_MN")), clock_.Now(), formats_);
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Сохранить лог-файл в.."), FromCp1251(proposed), QString(), nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return;
    SaveLogTo(path);
}

bool MainWindow::SaveLogTo(const QString& path) {
    if (auto error = SaveLogFile(path.toStdString(), form_->Log())) {
        ShowUserError(QStringLiteral("Лог-файл не сохранён.\n") + Utf8(*error));
        return false;
    }
    return true;
}

void MainWindow::ShowUserError(const QString& text) {
    // Window-modal but opened without a nested event loop: reception keeps running behind it.
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("UserError"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::StopReception() {
    ticks_->Stop();
    form_->FormCloseQuery();
}

void MainWindow::ApplyOuterSize() {
    // Outer sizes count the frame, which the window system only knows once the window is shown;
    // until then the frame counts as nothing and showEvent corrects the sizes.
    const int frameWidth = frameGeometry().width() - width();
    const int frameHeight = frameGeometry().height() - height();
    setMinimumSize(kMinOuterWidth - frameWidth, kMinOuterHeight - frameHeight);
    resize(width(), kStartHeight - frameHeight);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        ApplyOuterSize();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Reception stops before anything it feeds is released; the close is never refused and
    // nothing is saved.
    StopReception();
    event->accept();
}

void MainWindow::StartDemoHooks() {
    InstallDemoHooks(*this);
}

}  // namespace rv
