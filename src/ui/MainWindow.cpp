#include "ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <variant>

#include "app/LogFile.h"
#include "app/LogSave.h"
#include "app/SessionRecords.h"
#include "calibration/CalibrationPage.h"
#include "calibration/TarExportDialogQt.h"
#include "files/FileErrors.h"
#include "layout/WindowPlacement.h"
#include "serial/Platform.h"
#include "text/Cp1251.h"
#include "text/FileNames.h"
#include "trends/TrendWindowsQt.h"
#include "ui/ColoursQt.h"
#include "ui/Cp1251Qt.h"
#include "ui/DemoHooksQt.h"
#include "ui/DisplayBinderQt.h"
#include "ui/FramePacerQt.h"
#include "ui/LogFileReaderQt.h"
#include "ui/LogPlayerBarQt.h"
#include "ui/MainMenuQt.h"
#include "ui/MonitorView.h"
#include "ui/PicturesQt.h"
#include "ui/PortHotPlugQt.h"
#include "ui/RegionalFormatsQt.h"
#include "ui/ReportStripWidget.h"
#include "ui/RestoreTableDialogQt.h"
#include "ui/TimerTickQt.h"

namespace rv {
namespace {

constexpr int kDesignClientWidth = 1008;
constexpr int kDesignClientHeight = 710;
constexpr int kStartHeight = 600;
constexpr int kBottomBarHeight = 40;

QWidget* ColouredPanel(QWidget* parent, Colour colour, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromUtf8(name));
    SetBackground(panel, colour);
    return panel;
}

// Tells the window's pacer whenever lines arrive, so that frames follow at the streaming rate.
class StreamWatch : public LogObserver {
  public:
    explicit StreamWatch(FramePacerQt& pacer) : pacer_(pacer) {}
    void LinesAppended(std::size_t) override { pacer_.Streaming(); }

  private:
    FramePacerQt& pacer_;
};

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
    auto* pacer = new FramePacerQt(this);

    ticks_ = std::make_unique<TimerTickQt>();
    ticks_->SetAfterTick([pacer] { pacer->TickEnded(); });
    platform.ticks = ticks_.get();
    platform.frameDue = [pacer] { return pacer->FrameDueAtTickEnd(); };
    watchTicks_ = std::make_unique<TimerTickQt>();
    platform.watchTicks = watchTicks_.get();
    platform.openHomePage = [](const std::string& address) {
        QDesktopServices::openUrl(QUrl(Utf8(address)));
    };
    form_ = std::make_unique<MainForm>(formats_, clock_, std::move(platform));
    streamWatch_ = std::make_unique<StreamWatch>(*pacer);
    streamSubscription_ = form_->Subscribe(*streamWatch_);
    records_ = std::make_unique<SessionRecords>(*form_, SessionRecords::Options{});
    // The journal's writer fails on its own thread; its report reaches the strip from here.
    recordsPoll_ = new QTimer(this);
    connect(recordsPoll_, &QTimer::timeout, this, [this] { records_->Poll(); });
    recordsPoll_->start(250);
    binder_ = std::make_unique<DisplayBinderQt>(form_->Display());

    BuildLayout();
    FormCreate();
    PlaceOnScreen();
    StartDemoHooks();

    // The port list follows devices plugged in and out without "Обновить список".
    QStringList folders;
    for (const std::string& folder : PortListWatchFolders()) folders << Utf8(folder);
    hotPlug_ = new PortHotPlugQt(
        folders, [this] { form_->PortsHotPlugged(); }, this);
}

MainWindow::~MainWindow() {
    // Reception ends before the form it feeds goes away; the journal then closes its file.
    StopReception();
    recordsPoll_->stop();
    records_.reset();
}

void MainWindow::AddServiceItems() {
    QMenu* service = menu_->ServiceMenu();
    QAction* journal = service->addAction(QStringLiteral("Журнал сеансов…"));
    journal->setObjectName(QStringLiteral("JournalFolderAction"));
    connect(journal, &QAction::triggered, this, [this] { ShowJournalFolder(); });
    QAction* restore = service->addAction(QStringLiteral("Восстановить тарировку…"));
    restore->setObjectName(QStringLiteral("RestoreTableAction"));
    connect(restore, &QAction::triggered, this, [this] { RestoreTableExecute(); });
    QAction* openLog = service->addAction(QStringLiteral("Открыть лог-файл…"));
    openLog->setObjectName(QStringLiteral("OpenLogAction"));
    openLog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(openLog, &QAction::triggered, this, [this] { OpenLogFileExecute(); });
    QAction* find = service->addAction(QStringLiteral("Найти в логе…"));
    find->setObjectName(QStringLiteral("FindInLogAction"));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(find, &QAction::triggered, this, [this] { FindInLogExecute(); });
    trends_ = new TrendWindowsQt(*form_, *binder_, service, this);
}

void MainWindow::FindInLogExecute() {
    N8Click();
    monitor_->OpenLogSearch();
}

void MainWindow::OpenLogFileExecute() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Открыть лог-файл"), QString(),
                                     QStringLiteral("Лог-файлы (*.log *.txt);;Все файлы (*)"));
    if (!path.isEmpty()) OpenLogFile(path);
}

bool MainWindow::OpenLogFile(const QString& path) {
    auto result = ReadLogFileWithProgress(
        std::filesystem::path(path.toStdString()),
        QStringLiteral("Чтение лог-файла «%1»…").arg(QFileInfo(path).fileName()), this);
    if (const auto* whyNot = std::get_if<std::string>(&result)) {
        ShowUserError(QStringLiteral("Лог-файл «%1» не открыт: %2")
                          .arg(QFileInfo(path).fileName(), Utf8(*whyNot)));
        return false;
    }
    ConnectionControl& link = form_->Connection();
    if (link.IsOpen() || link.WatchingForReturn()) link.StopActionExecute();
    player_->Start(std::get<LogFile>(std::move(result)));
    N8Click();
    return true;
}

void MainWindow::ShowJournalFolder() {
    const auto folder = records_->JournalFolder();
    if (!folder) {
        ShowUserError(QStringLiteral("Журнал сеансов не ведётся: его папку нельзя создать."));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder->string())));
}

void MainWindow::RestoreTableExecute() {
    auto* dialog = new RestoreTableDialogQt(records_->KeptTables(), formats_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Opened without a nested event loop: reception keeps running behind it.
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (const KeptTableState* table = dialog->ChosenTable()) {
            records_->Restore(dialog->ChosenChannel(), *table);
            N9Click();
        }
    });
    dialog->open();
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
    player_ = new LogPlayerBarQt(*form_, clock_, central);  // shown while a log file is open
    layout->addWidget(player_);
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
    AddServiceItems();

    // The design's client area (the outer sizes follow in FormCreate, the position once they are
    // known).
    resize(kDesignClientWidth, kDesignClientHeight);
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
    home->setIconSize(maker.deviceIndependentSize().toSize());
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
        this, QStringLiteral("Сохранить лог-файл в.."), FromCp1251(FitFileNameLength(proposed)),
        QString(), nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return;
    SaveLogTo(path);
}

bool MainWindow::SaveLogTo(const QString& path) {
    const std::string file = path.toStdString();
    if (auto failure = SaveLogFile(file, form_->Log())) {
        ShowUserError(QStringLiteral("Лог-файл не сохранён.\n") +
                          Utf8(FileNotWrittenText(file, failure->kind)),
                      Utf8(failure->systemText));
        return false;
    }
    return true;
}

void MainWindow::ShowUserError(const QString& text, const QString& systemText) {
    // Window-modal but opened without a nested event loop: reception keeps running behind it.
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("UserError"));
    if (!systemText.isEmpty()) box->setDetailedText(systemText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::StopReception() {
    ticks_->Stop();
    watchTicks_->Stop();
    form_->FormCloseQuery();
}

void MainWindow::ApplyOuterSize() {
    // Outer sizes count the frame, which the window system only knows once the window is shown;
    // until then the frame counts as nothing and showEvent corrects the sizes.
    const int frameWidth = frameGeometry().width() - width();
    const int frameHeight = frameGeometry().height() - height();
    setMinimumSize(kMinOuterWidth - frameWidth, kMinOuterHeight - frameHeight);
    if (!isMaximized()) resize(width(), kStartHeight - frameHeight);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        ApplyOuterSize();
        PlaceOnScreen();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Reception stops before anything it feeds is released; the close is never refused and
    // nothing is saved.
    StopReception();
    trends_->CloseAll();
    event->accept();
}

void MainWindow::PlaceOnScreen() {
    const QPoint design(kDesignWindowLeft, kDesignWindowTop);
    QScreen* screen = QGuiApplication::screenAt(design);
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect free = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    const WindowPlacement place = PlaceWindow({free.x(), free.y(), free.width(), free.height()},
                                              outer.width(), outer.height());
    if (place.maximised) {
        // The minimum size gives way to the screen: the whole window stays on it.
        setMinimumSize(std::min(minimumWidth(), free.width()),
                       std::min(minimumHeight(), free.height()));
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        move(place.x, place.y);
    }
}

void MainWindow::StartDemoHooks() {
    InstallDemoHooks(*this);
}

}  // namespace rv
