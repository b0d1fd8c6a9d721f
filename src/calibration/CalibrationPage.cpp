#include "calibration/CalibrationPage.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "calibration/TarChecks.h"
#include "calibration/TarCurveWindow.h"
#include "calibration/TarExportDialogQt.h"
#include "calibration/TarRowStackWidget.h"
#include "text/Cp1251.h"
#include "ui/ColoursQt.h"
#include "ui/Cp1251Qt.h"
#include "ui/MyPanelWidget.h"

namespace rv {
namespace {

constexpr int kStartChannelWidth = 336;
constexpr int kHeaderHeight = 100;
constexpr int kStripHeight = 25;
constexpr int kLineHeight = 4;
constexpr int kTitleDivider = 4;
constexpr int kEntryDivider = 2;
constexpr int kCommentHeight = 41;
constexpr int kEditHeight = 21;
const char* const kChannelProperty = "rvChannel";
const char* const kRoleProperty = "rvRole";
const char* const kIndexProperty = "rvIndex";

QString Digit(const char* prefix, int n, const char* suffix = "") {
    return QString::fromLatin1(prefix) + QString::number(n) + QString::fromLatin1(suffix);
}

// "Tahoma" where the desktop has it, else the platform's sans font.
QFont TahomaFont(bool bold) {
    QFont f = DesignFont(QStringLiteral("Tahoma"), 11);  // 8 point at 96 dots per inch
    f.setBold(bold);
    return f;
}

// A caption placed by the design must fit the room the design leaves it; a fallback font that is
// wider than the designed one is made smaller until it does.
void FitCaption(QLabel* label, int room) {
    QFont f = label->font();
    if (f.pixelSize() <= 0) f.setPixelSize(QFontInfo(f).pixelSize());
    label->setFont(f);
    label->adjustSize();
    while (label->width() > room && f.pixelSize() > 8) {
        f.setPixelSize(f.pixelSize() - 1);
        label->setFont(f);
        label->adjustSize();
    }
}

QWidget* Line(QWidget* parent, int width, int height) {
    auto* line = new QWidget(parent);
    SetBackground(line, kWhite);
    if (width > 0) line->setFixedWidth(width);
    if (height > 0) line->setFixedHeight(height);
    return line;
}

QLabel* Cell(QWidget* parent, const QString& objectName, const QString& caption = {}) {
    auto* cell = new QLabel(caption, parent);
    cell->setObjectName(objectName);
    cell->setAlignment(Qt::AlignCenter);
    return cell;
}

// Picture of the export button: a diskette.
QIcon ExportPicture() {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(20, 40, 90));
    p.setBrush(QColor(50, 80, 150));
    p.drawRect(2, 2, 19, 19);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(7, 2, 10, 6);
    p.setBrush(Qt::white);
    p.drawRect(5, 12, 13, 9);
    p.setPen(QColor(120, 120, 120));
    p.drawLine(7, 15, 16, 15);
    p.drawLine(7, 18, 16, 18);
    return QIcon(pm);
}

// The source drop-down: pick-only, and its entries are rebuilt by the recorder every time it opens.
// Keys that would step through the (possibly outdated) entries open the list instead, so a source
// is always chosen from a list that excludes the other channels' selections.
class SourceCombo : public QComboBox {
  public:
    using QComboBox::QComboBox;
    std::function<void()> onDropDown;

    void showPopup() override {
        if (onDropDown) onDropDown();
        QComboBox::showPopup();
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Space:
            case Qt::Key_F4:
                showPopup();
                return;
            default:
                QWidget::keyPressEvent(e);  // no typing, no keyboard search
        }
    }
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
};

QToolButton* FlatButton(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setText(caption);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

CalibrationPage::CalibrationPage(Recorder& recorder, std::function<std::string()> exePath,
                                 QWidget* parent, TarExportTarget* exportTarget)
    : QWidget(parent), recorder_(recorder), exePath_(std::move(exePath)), target_(exportTarget) {
    setObjectName(QStringLiteral("tabTar"));
    if (target_ == nullptr) {
        ownTarget_ = std::make_unique<TarExportDialogQt>(this);
        target_ = ownTarget_.get();
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scb2_ = new QScrollArea(this);
    scb2_->setObjectName(QStringLiteral("scb2"));
    scb2_->setFrameShape(QFrame::NoFrame);
    scb2_->setWidgetResizable(true);
    scb2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scb2_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* columns = new QWidget(scb2_);
    auto* row = new QHBoxLayout(columns);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int n = 1; n <= kTarChannels; ++n) {
        BuildChannel(n, columns);
        row->addWidget(View(n).panDat);
    }
    row->addStretch(1);
    scb2_->setWidget(columns);
    layout->addWidget(scb2_);

    recorderSubscription_ = recorder_.Subscribe(*this);
    for (int n = 1; n <= kTarChannels; ++n) ShowWholeChannel(n);

    settleTick_ = new QTimer(this);
    settleTick_->setInterval(1000);
    connect(settleTick_, &QTimer::timeout, this, [this] {
        for (int n = 1; n <= kTarChannels; ++n) ShowSettle(n);
    });
    settleTick_->start();
}

void CalibrationPage::SetChannelWidth(int w) {
    for (ChannelView& c : channels_) c.panDat->setFixedWidth(std::max(w, 0));
}

void CalibrationPage::ScrollToLeft() {
    scb2_->horizontalScrollBar()->setValue(0);
}

void CalibrationPage::Watch(QWidget* w, int n, Role role, int index) {
    w->setProperty(kChannelProperty, n);
    w->setProperty(kRoleProperty, static_cast<int>(role));
    w->setProperty(kIndexProperty, index);
    w->installEventFilter(this);
}

// ---- building --------------------------------------------------------------------------------

void CalibrationPage::BuildChannel(int n, QWidget* host) {
    ChannelView& c = View(n);
    c.panDat = new QFrame(host);
    c.panDat->setObjectName(Digit("panDat", n));
    c.panDat->setFrameStyle(QFrame::Box | QFrame::Plain);
    c.panDat->setLineWidth(1);
    SetBackground(c.panDat, kWhite);
    c.panDat->setFixedWidth(kStartChannelWidth);
    auto* column = new QVBoxLayout(c.panDat);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildHeader(n, c));

    c.scbDat = new QScrollArea(c.panDat);
    c.scbDat->setObjectName(Digit("scbDat", n));
    c.scbDat->setFrameShape(QFrame::NoFrame);
    c.scbDat->setWidgetResizable(true);
    c.scbDat->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBackground(c.scbDat->viewport(), kWhite);
    c.rowStack = new TarRowStack(c.scbDat);
    column->addWidget(c.scbDat, 1);

    column->addWidget(BuildCommentStrip(n, c));
}

QWidget* CalibrationPage::BuildHeader(int n, ChannelView& c) {
    auto* header = new QWidget(c.panDat);
    header->setFixedHeight(kHeaderHeight);
    // The curve opens from the header's context menu, so the header keeps its designed look.
    auto* curve = new QAction(FromCp1251(W("Кривая тарировки…")), header);
    curve->setObjectName(Digit("actCurve", n));
    connect(curve, &QAction::triggered, this, [this, n] { ShowCurve(n); });
    header->addAction(curve);
    auto* load = new QAction(FromCp1251(W("Загрузить таблицу из файла…")), header);
    load->setObjectName(Digit("actImport", n));
    connect(load, &QAction::triggered, this, [this, n] { ImportTable(n); });
    header->addAction(load);
    header->setContextMenuPolicy(Qt::ActionsContextMenu);
    header->setToolTip(
        FromCp1251(W("Правая кнопка мыши: кривая тарировки, загрузка таблицы из файла")));
    SetBackground(header, kLightGreen);

    auto* caption =
        new QLabel(FromCp1251(W("Датчик ")) + QString::number(n) + QStringLiteral(" :"), header);
    caption->setFont(TahomaFont(true));
    FitCaption(caption, 72 - 8 - 2);
    caption->move(8, 12);

    auto* combo = new SourceCombo(header);
    combo->setObjectName(Digit("cmbDat", n));
    combo->setEditable(false);
    combo->setFocusPolicy(Qt::ClickFocus);  // not in the tab order
    combo->setGeometry(72, 8, 217, kEditHeight);
    combo->onDropDown = [this, n] { cmbDatNDropDown(n); };
    connect(combo, &QComboBox::activated, this, [this, n](int index) { cmbDatNChange(n, index); });
    c.cmbDat = combo;

    c.cmdSE = FlatButton(header, Digit("cmdSE", n), QString());
    c.cmdSE->setIcon(ExportPicture());
    c.cmdSE->setIconSize(QSize(24, 24));
    c.cmdSE->setToolTip(FromCp1251(W("Записать тарировочную таблицу в файл")));
    c.cmdSE->setGeometry(294, 3, 30, 30);
    c.cmdSE->hide();
    connect(c.cmdSE, &QToolButton::clicked, this, [this, n] { cmdSENClick(n); });

    auto* block = new QVBoxLayout(header);
    block->setContentsMargins(0, 0, 0, 0);
    block->setSpacing(0);
    block->addStretch(1);
    block->addWidget(Line(header, 0, kLineHeight));
    block->addWidget(BuildTitleStrip(n, c));
    block->addWidget(Line(header, 0, kLineHeight));
    block->addWidget(BuildEntryRow(n, c));
    block->addWidget(Line(header, 0, kLineHeight));
    return header;
}

QWidget* CalibrationPage::BuildTitleStrip(int n, ChannelView& c) {
    c.panTitle = new QWidget(c.panDat);
    c.panTitle->setObjectName(Digit("panTitle", n));
    c.panTitle->setFixedHeight(kStripHeight);
    c.panTitle->setFont(TahomaFont(true));
    SetBackground(c.panTitle, kLightGreen);
    const char* captions[] = {"№", "Время", "Значение", "Уровень", "Действие"};
    for (int i = 0; i < 5; ++i) {
        c.t[static_cast<std::size_t>(i)] = Cell(
            c.panTitle, Digit("t", n, std::to_string(i + 1).c_str()), FromCp1251(W(captions[i])));
    }
    for (auto& d : c.titleDividers) d = Line(c.panTitle, kTitleDivider, kStripHeight);
    // Starting widths until the first resize shares the strip out.
    c.title.t1 = 38;
    c.title.t2 = 50;
    c.title.t3 = 70;
    c.title.t4 = 70;
    Watch(c.panTitle, n, Role::PanTitle);
    return c.panTitle;
}

QWidget* CalibrationPage::BuildEntryRow(int n, ChannelView& c) {
    c.panStat = new QWidget(c.panDat);
    c.panStat->setObjectName(Digit("panStat", n));
    c.panStat->setFixedHeight(kStripHeight);
    SetBackground(c.panStat, kLightGreen);
    c.pd1 = Cell(c.panStat, Digit("pd", n, "1"));
    c.pd2 = Cell(c.panStat, Digit("pd", n, "2"));
    c.pd3 = Cell(c.panStat, Digit("pd", n, "3"));
    for (auto& d : c.statDividers) d = Line(c.panStat, kEntryDivider, kStripHeight);
    c.pd1->setGeometry(0, 0, 38, kStripHeight);
    c.pd4 = new QLineEdit(c.panStat);
    c.pd4->setObjectName(Digit("pd", n, "4"));
    c.pd4->setFocusPolicy(Qt::ClickFocus);  // not in the tab order
    c.pd4->setGeometry(0, 2, 0, kEditHeight);
    Watch(c.pd4, n, Role::LevelField);
    connect(c.pd4, &QLineEdit::textChanged, this,
            [this, n](const QString& text) { pdN4Change(n, text); });
    c.cmdS = FlatButton(c.panStat, Digit("cmdS", n), FromCp1251(W("Сохранить")));
    c.cmdS->setGeometry(0, 2, 75, 22);
    c.cmdS->hide();
    connect(c.cmdS, &QToolButton::clicked, this, [this, n] { cmdSNClick(n); });
    c.panStat->setEnabled(false);
    Watch(c.panStat, n, Role::PanStat);
    return c.panStat;
}

QWidget* CalibrationPage::BuildCommentStrip(int n, ChannelView& c) {
    c.panCom = new QWidget(c.panDat);
    c.panCom->setObjectName(Digit("panCom", n));
    c.panCom->setFixedHeight(kCommentHeight);
    SetBackground(c.panCom, kLightGreen);
    c.txtCom = new QLineEdit(c.panCom);
    c.txtCom->setObjectName(Digit("txtCom", n));
    c.txtCom->setFocusPolicy(Qt::ClickFocus);  // not in the tab order
    c.txtCom->setGeometry(88, 10, 100, kEditHeight);
    connect(c.txtCom, &QLineEdit::textChanged, this,
            [this, n](const QString& text) { recorder_.SetComment(n, ToCp1251(text)); });
    // The edit's label stands on its left, 3 pixels away.
    c.txtComLabel = new QLabel(FromCp1251(W("Комментарий :")), c.panCom);
    c.txtComLabel->setBuddy(c.txtCom);
    FitCaption(c.txtComLabel, 88 - 3 - 4);
    c.txtComLabel->move(88 - 3 - c.txtComLabel->width(),
                        10 + (kEditHeight - c.txtComLabel->height()) / 2);
    Watch(c.panCom, n, Role::PanCom);
    return c.panCom;
}

// ---- handlers ----------------------------------------------------------------------------------

bool CalibrationPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Resize && type != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const QVariant channel = watched->property(kChannelProperty);
    if (!channel.isValid()) return QWidget::eventFilter(watched, event);
    const int n = channel.toInt();
    const auto role = static_cast<Role>(watched->property(kRoleProperty).toInt());
    if (type == QEvent::KeyPress) {
        if (role == Role::LevelField) {
            auto* key = static_cast<QKeyEvent*>(event);
            // One key per point: Enter saves the row when "Сохранить" would, and the focus stays
            // in the level field for the next level; Escape drops a mistyped level.
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (recorder_.State(n).CmdSVisible()) cmdSNClick(n);
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                View(n).pd4->clear();
                return true;
            }
            if (key->key() != Qt::Key_Delete && !pdN4KeyPress(key->text())) return true;
        }
        return false;
    }
    switch (role) {
        case Role::PanStat:
            panStatNResize(n);
            break;
        case Role::PanTitle:
            PlaceTitleStrip(n);
            break;
        case Role::PanCom:
            panComNResize(n);
            break;
        case Role::RowPanel:
            ResizePanel(n, static_cast<std::size_t>(watched->property(kIndexProperty).toInt()));
            break;
        case Role::LevelField:
            break;
    }
    return false;
}

void CalibrationPage::cmbDatNChange(int n, int index) {
    recorder_.cmbDatNChange(n, index);
}

void CalibrationPage::cmbDatNDropDown(int n) {
    recorder_.cmbDatNDropDown(n);
}

bool CalibrationPage::pdN4KeyPress(const QString& typed) const {
    // Keys that type nothing (arrows, Delete, ...) edit as usual; every typed character must pass.
    for (const QChar ch : typed) {
        if (ch.unicode() > 0x7F || !Recorder::pdN4KeyPress(static_cast<char>(ch.unicode()))) {
            return false;
        }
    }
    return true;
}

void CalibrationPage::pdN4Change(int n, const QString& text) {
    recorder_.pdN4Change(n, ToCp1251(text));
}

void CalibrationPage::cmdSNClick(int n) {
    recorder_.cmdSNClick(n);
}

void CalibrationPage::cmdSENClick(int n) {
    // A failed write is reported by the export target; the channel keeps its data either way
    // unless the file was written.
    recorder_.SaveTarFile(n, *target_, exePath_ ? exePath_() : std::string());
}

void CalibrationPage::ImportTable(int n) {
    const QString path = QFileDialog::getOpenFileName(
        this, FromCp1251(W("Загрузить таблицу тарировки")),
        QString::fromUtf8(exePath_ ? exePath_() : std::string()),
        QStringLiteral("TXT, CSV (*.txt *.csv);;TXT (*.txt);;CSV (*.csv)"));
    if (path.isEmpty()) return;
    QFile file(path);
    QString error;
    if (!file.open(QIODevice::ReadOnly)) {
        error = FromCp1251(W("Не удалось открыть файл: ")) + file.errorString();
    } else {
        const QByteArray bytes = file.readAll();
        const TarImportResult r =
            recorder_.ImportTarFile(n, std::string_view(bytes.constData(), bytes.size()));
        if (!r.ok) error = QString::fromStdString(r.errorText);
    }
    if (error.isEmpty()) return;
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), error,
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ImportError"));
    box.exec();
}

void CalibrationPage::panComNResize(int n) {
    ChannelView& c = View(n);
    c.txtCom->resize(std::max(rv::panComNResize(c.panCom->width()), 0), c.txtCom->height());
}

void CalibrationPage::panStatNResize(int n) {
    ChannelView& c = View(n);
    if (const auto layout = recorder_.panStatNResize(n, c.panStat->width())) {
        ApplyTitleLayout(n, *layout);
        return;
    }
    // The rows drive the columns; "Сохранить" still follows the entry row's own width.
    const auto& rows = recorder_.State(n).rows;
    for (std::size_t i = 0; i < rows.size() && i < c.rows.size(); ++i) {
        if (rows[i].visible) return ResizePanel(n, i);
    }
}

void CalibrationPage::ResizePanel(int n, std::size_t index) {
    ChannelView& c = View(n);
    if (index >= c.rows.size()) return;
    const RowView& r = c.rows[index];
    const int w = r.rowPanel->width();
    const int h = r.rowPanel->height();
    const TarRowLayout l = ResizeTarRow(w, kTarNoCellWidth, kTarDelButtonWidth, c.panStat->width());
    const int time = std::max(l.timeWidth, 0);
    const int value = std::max(l.valueWidth, 0);
    const int actionLeft = std::max(w - kTarActionCellWidth, 0);
    r.noCell->setGeometry(0, 0, kTarNoCellWidth, h);
    r.timeCell->setGeometry(kTarNoCellWidth, 0, time, h);
    r.valueCell->setGeometry(kTarNoCellWidth + time, 0, value, h);
    const int levelLeft = kTarNoCellWidth + time + value;
    r.levelCell->setGeometry(levelLeft, 0, std::max(actionLeft - levelLeft, 0), h);
    r.actionCell->setGeometry(actionLeft, 0, kTarActionCellWidth, h);
    ApplyTitleLayout(n, l.title);
}

void CalibrationPage::ApplyTitleLayout(int n, const TarTitleLayout& l) {
    ChannelView& c = View(n);
    c.title = l;
    PlaceTitleStrip(n);
    const int h = kStripHeight;
    int x = 0;
    c.pd1->setGeometry(x, 0, std::max(l.pd1, 0), h);
    x += std::max(l.pd1, 0);
    c.statDividers[0]->move(x, 0);
    x += kEntryDivider;
    c.pd2->setGeometry(x, 0, std::max(l.pd2, 0), h);
    x += std::max(l.pd2, 0);
    c.statDividers[1]->move(x, 0);
    x += kEntryDivider;
    c.pd3->setGeometry(x, 0, std::max(l.pd3, 0), h);
    c.pd4->setGeometry(l.pd4Left, 2, std::max(l.pd4Width, 0), kEditHeight);
    const int save = std::max(l.cmdSWidth, 0);
    c.cmdS->setGeometry(c.panStat->width() - save, 2, save, 22);
}

void CalibrationPage::PlaceTitleStrip(int n) {
    ChannelView& c = View(n);
    const int widths[4] = {c.title.t1, c.title.t2, c.title.t3, c.title.t4};
    int x = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int w = std::max(widths[i], 0);
        c.t[i]->setGeometry(x, 0, w, kStripHeight);
        x += w;
        c.titleDividers[i]->move(x, 0);
        x += kTitleDivider;
    }
    c.t[4]->setGeometry(x, 0, std::max(c.panTitle->width() - x, 0), kStripHeight);
}

// ---- rendering the recorder -------------------------------------------------------------------

void CalibrationPage::ChannelCleared(int n) {
    ChannelView& c = View(n);
    c.rowStack->Clear();  // the rows' cells and buttons go with them
    c.rows.clear();
    c.checkFlags.clear();
    ScheduleChecks(n);
    const std::string& comment = recorder_.State(n).comment;
    if (ToCp1251(c.txtCom->text()) != comment) c.txtCom->setText(FromCp1251(comment));
    panStatNResize(n);
}

void CalibrationPage::RowAdded(int n, std::size_t index) {
    ChannelView& c = View(n);
    // Rows arrive in table order; anything else means this view missed a change: show it anew.
    if (index != c.rows.size()) return ShowWholeChannel(n);
    const TarRow& data = recorder_.State(n).rows[index];
    RowView r;
    r.rowPanel = new QWidget(c.rowStack->NextHost());
    r.rowPanel->setObjectName(QStringLiteral("RowPanel"));
    SetBackground(r.rowPanel, kWhite);
    auto cell = [&r](const char* name, const std::string& caption) {
        auto* p = new TMyPanel(FromCp1251(caption), r.rowPanel);
        p->setObjectName(QString::fromLatin1(name));
        return p;
    };
    r.actionCell = cell("ActionCell", {});
    r.noCell = cell("NoCell", data.number);
    r.timeCell = cell("TimeCell", data.time);
    r.valueCell = cell("ValueCell", data.value);
    r.levelCell = cell("LevelCell", data.level);
    r.delButton = FlatButton(r.actionCell, QStringLiteral("DelButton"), FromCp1251(W("Удалить")));
    r.delButton->setGeometry(1, 1, kTarDelButtonWidth, kTarDelButtonHeight);
    connect(r.delButton, &QToolButton::clicked, this,
            [this, n, index] { recorder_.ClickDel(n, index); });
    Watch(r.rowPanel, n, Role::RowPanel, static_cast<int>(index));
    c.rows.push_back(r);
    c.rowStack->Append(r.rowPanel, data.visible);
    ScheduleChecks(n);
}

void CalibrationPage::RowHidden(int n, std::size_t index) {
    ChannelView& c = View(n);
    c.rowStack->Hide(index);
    // Hiding a row renumbers only the rows after it.
    const auto& rows = recorder_.State(n).rows;
    for (std::size_t i = index; i < rows.size() && i < c.rows.size(); ++i) {
        if (rows[i].visible) c.rows[i].noCell->setText(FromCp1251(rows[i].number));
    }
    if (recorder_.State(n).visibleRows == 0) panStatNResize(n);
    ScheduleChecks(n);
}

void CalibrationPage::ShowCurve(int n) {
    ChannelView& c = View(n);
    if (c.curve == nullptr) c.curve = new TarCurveWindow(n, this);
    ShowCurveRows(n);
    c.curve->ShowReading(recorder_.State(n).pd3);
    c.curve->show();
    c.curve->raise();
    c.curve->activateWindow();
}

void CalibrationPage::ShowCurveRows(int n) {
    ChannelView& c = View(n);
    if (c.curve == nullptr) return;
    const Recorder::Channel& s = recorder_.State(n);
    c.curve->ShowRows(s.rows, CheckTarRows(s.rows), s.ComboText());
}

void CalibrationPage::ScheduleChecks(int n) {
    ChannelView& c = View(n);
    if (c.checksDue) return;
    c.checksDue = true;
    QTimer::singleShot(0, this, [this, n] { ShowChecks(n); });
}

void CalibrationPage::ShowChecks(int n) {
    ChannelView& c = View(n);
    c.checksDue = false;
    const std::vector<std::uint8_t> flags = CheckTarRows(recorder_.State(n).rows);
    if (c.curve != nullptr && c.curve->isVisible()) {
        c.curve->ShowRows(recorder_.State(n).rows, flags, recorder_.State(n).ComboText());
    }
    c.checkFlags.resize(c.rows.size(), 0);
    for (std::size_t i = 0; i < c.rows.size() && i < flags.size(); ++i) {
        if (flags[i] == c.checkFlags[i]) continue;
        c.checkFlags[i] = flags[i];
        const RowView& r = c.rows[i];
        if (flags[i] != 0) {
            QPalette p = r.rowPanel->palette();
            p.setColor(QPalette::Window, QColor(255, 222, 185));
            r.rowPanel->setPalette(p);
        } else {
            SetBackground(r.rowPanel, kWhite);
        }
        const QString hint = QString::fromUtf8(TarCheckText(flags[i]));
        for (QWidget* w : {static_cast<QWidget*>(r.rowPanel), static_cast<QWidget*>(r.noCell),
                           static_cast<QWidget*>(r.timeCell), static_cast<QWidget*>(r.valueCell),
                           static_cast<QWidget*>(r.levelCell)}) {
            w->setToolTip(hint);
        }
    }
}

void CalibrationPage::EntryRowChanged(int n) {
    ChannelView& c = View(n);
    const Recorder::Channel& s = recorder_.State(n);
    c.pd1->setText(FromCp1251(s.pd1));
    c.pd2->setText(FromCp1251(s.pd2));
    c.pd3->setText(FromCp1251(s.pd3));
    if (ToCp1251(c.pd4->text()) != s.pd4) c.pd4->setText(FromCp1251(s.pd4));
    c.cmdS->setVisible(s.CmdSVisible());
    c.panStat->setEnabled(s.panStatEnabled);
    ShowSensorAddress(n);  // a reading of a fuel-level sensor follows its address
    ShowSettle(n);
    if (c.curve != nullptr && c.curve->isVisible()) c.curve->ShowReading(s.pd3);
}

void CalibrationPage::ShowSettle(int n) {
    ChannelView& c = View(n);
    const Recorder::Channel& s = recorder_.State(n);
    const SettleState settle = recorder_.Settle(n);
    QString text = FromCp1251(s.pd1);
    QString hint;
    QString style;
    if (s.pd1.empty() && s.panStatEnabled && settle.known) {
        const long long seconds = settle.sinceChangeMs / 1000;
        const QString since = seconds < 60 ? QString::number(seconds) + FromCp1251(W(" с"))
                                           : QString::number(seconds / 60) + FromCp1251(W(" мин"));
        text = since;
        hint = settle.settled
                   ? FromCp1251(W("успокоилось: показание не меняется ")) + since
                   : FromCp1251(W("ждите: показание менялось ")) + since + FromCp1251(W(" назад"));
        style = settle.settled ? QStringLiteral("background-color: rgb(120, 200, 120);")
                               : QStringLiteral("background-color: rgb(255, 210, 110);");
    }
    if (c.pd1->text() != text) c.pd1->setText(text);
    if (c.pd1->toolTip() != hint) c.pd1->setToolTip(hint);
    if (c.pd1->styleSheet() != style) c.pd1->setStyleSheet(style);
}

void CalibrationPage::ExportButtonChanged(int n) {
    View(n).cmdSE->setVisible(recorder_.State(n).exportVisible);
}

void CalibrationPage::SourceListChanged(int n) {
    ChannelView& c = View(n);
    const Recorder::Channel& s = recorder_.State(n);
    const QSignalBlocker quiet(c.cmbDat);  // a selection set by program runs no handler
    c.cmbDat->clear();
    for (const std::string& item : s.items) c.cmbDat->addItem(FromCp1251(item));
    c.cmbDat->setCurrentIndex(s.itemIndex);
    ShowSensorAddress(n);
}

void CalibrationPage::CommentChanged(int n) {
    ChannelView& c = View(n);
    const std::string& comment = recorder_.State(n).comment;
    if (ToCp1251(c.txtCom->text()) != comment) c.txtCom->setText(FromCp1251(comment));
}

void CalibrationPage::ShowSensorAddress(int n) {
    ChannelView& c = View(n);
    const std::string address = recorder_.SensorAddressOf(recorder_.State(n).ComboText());
    const QString hint = address.empty()
                             ? QString()
                             : FromCp1251(W("Датчик уровня топлива, адрес ")) + FromCp1251(address);
    if (c.cmbDat->toolTip() != hint) c.cmbDat->setToolTip(hint);
}

void CalibrationPage::ShowWholeChannel(int n) {
    ChannelView& c = View(n);
    c.rowStack->Clear();
    c.rows.clear();
    c.checkFlags.clear();
    const Recorder::Channel& s = recorder_.State(n);
    for (std::size_t i = 0; i < s.rows.size(); ++i) RowAdded(n, i);
    c.txtCom->setText(FromCp1251(s.comment));
    SourceListChanged(n);
    EntryRowChanged(n);
    ExportButtonChanged(n);
}

}  // namespace rv
