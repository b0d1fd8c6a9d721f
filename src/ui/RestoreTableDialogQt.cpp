#include "ui/RestoreTableDialogQt.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "calibration/Recorder.h"
#include "text/Formats.h"
#include "ui/Cp1251Qt.h"

namespace rv {
namespace {

QString SourceText(const KeptTableState& s) {
    QString text = FromCp1251(s.sourceName);
    if (!s.sensorAddress.empty()) text += QStringLiteral(", адрес ") + FromCp1251(s.sensorAddress);
    return text;
}

int VisibleRows(const KeptTableState& s) {
    int count = 0;
    for (const TarRow& row : s.rows) count += row.visible ? 1 : 0;
    return count;
}

}  // namespace

RestoreTableDialogQt::RestoreTableDialogQt(std::vector<KeptTable> tables,
                                           const RegionalFormats& formats, QWidget* parent)
    : QDialog(parent), tables_(std::move(tables)) {
    setObjectName(QStringLiteral("RestoreTableDialog"));
    setWindowTitle(QStringLiteral("Восстановить тарировку"));
    auto* layout = new QVBoxLayout(this);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("KeptTables"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Изменена"), QStringLiteral("ID блока"),
                            QStringLiteral("Источник"), QStringLiteral("Строк"),
                            QStringLiteral("Комментарий")});
    for (const KeptTable& t : tables_) {
        const KeptTableState& s = t.state;
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, FromCp1251(DateTimeText(s.lastChange, formats)));
        item->setText(1, FromCp1251(s.unitId));
        item->setText(2, SourceText(s));
        item->setText(3, QString::number(VisibleRows(s)));
        item->setText(4, FromCp1251(s.comment));
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (!tables_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
    layout->addWidget(tables_.empty() ? static_cast<QWidget*>(new QLabel(
                                            QStringLiteral("Сохранённых таблиц нет."), this))
                                      : list_);
    if (tables_.empty()) list_->hide();

    auto* channelLine = new QHBoxLayout;
    channelLine->addWidget(new QLabel(QStringLiteral("Восстановить в:"), this));
    channel_ = new QComboBox(this);
    channel_->setObjectName(QStringLiteral("RestoreChannel"));
    for (int n = 1; n <= kTarChannels; ++n) channel_->addItem(QStringLiteral("Датчик %1").arg(n));
    if (!tables_.empty()) channel_->setCurrentIndex(tables_.front().state.channel - 1);
    channelLine->addWidget(channel_, 1);
    layout->addLayout(channelLine);
    // The channel's own table goes into the folder too, so a wrong choice can be undone.
    auto* note = new QLabel(
        QStringLiteral("Таблица выбранного канала будет заменена; она остаётся в списке."), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QDialogButtonBox(this);
    restore_ = buttons->addButton(QStringLiteral("Восстановить"), QDialogButtonBox::AcceptRole);
    restore_->setObjectName(QStringLiteral("RestoreButton"));
    restore_->setEnabled(!tables_.empty());
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        restore_->setEnabled(item != nullptr);
        const KeptTableState* chosen = ChosenTable();
        if (chosen) channel_->setCurrentIndex(chosen->channel - 1);
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(640, 360);
}

const KeptTableState* RestoreTableDialogQt::ChosenTable() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= tables_.size()) return nullptr;
    return &tables_[static_cast<std::size_t>(row)].state;
}

int RestoreTableDialogQt::ChosenChannel() const {
    return channel_->currentIndex() + 1;
}

}  // namespace rv
