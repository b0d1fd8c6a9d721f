#include "trends/TrendChooserQt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "protocol/DisplayModel.h"
#include "trends/FieldHistory.h"
#include "trends/TrendFields.h"

namespace rv {

TrendChooserQt::TrendChooserQt(const FieldHistory& history, const DisplayModel& display,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TrendChooser"));
    setWindowTitle(QStringLiteral("Графики"));
    resize(420, 560);
    auto* note = new QLabel(
        QStringLiteral("Отметьте одно или несколько полей: они откроются на одном графике, "
                       "каждое со своей шкалой."),
        this);
    note->setWordWrap(true);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TrendFieldTree"));
    tree_->setHeaderLabels({QStringLiteral("Поле"), QStringLiteral("Значений")});
    tree_->setRootIsDecorated(true);
    std::map<std::string, QTreeWidgetItem*> groups;
    for (int field : history.KeptFields()) {
        const TrendFieldLabel label = LabelOfTrendField(display, field);
        QTreeWidgetItem*& group = groups[label.group];
        if (group == nullptr) {
            group = new QTreeWidgetItem(tree_, {QString::fromStdString(label.group)});
            group->setFlags(Qt::ItemIsEnabled);
            group->setExpanded(true);
        }
        const std::size_t count = history.Count(field);
        auto* item = new QTreeWidgetItem(group, {QString::fromStdString(label.caption),
                                                 count > 0 ? QString::number(count) : QString()});
        item->setData(0, Qt::UserRole, field);
        item->setToolTip(0, QString::fromStdString(display.Name(field)));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(0, Qt::Unchecked);
        // Fields the unit has not reported yet stand back.
        if (count == 0) item->setForeground(0, QColor(128, 128, 128));
    }
    tree_->resizeColumnToContents(0);
    // A double click opens the field at once.
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (!item->data(0, Qt::UserRole).isValid()) return;
        item->setCheckState(0, Qt::Checked);
        accept();
    });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(QStringLiteral("Открыть"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("TrendChooserOpen"));
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    open->setEnabled(false);
    connect(tree_, &QTreeWidget::itemChanged, this,
            [this, open] { open->setEnabled(!ChosenFields().empty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
}

std::vector<int> TrendChooserQt::ChosenFields() const {
    std::vector<int> fields;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).isValid() && (*it)->checkState(0) == Qt::Checked)
            fields.push_back((*it)->data(0, Qt::UserRole).toInt());
    }
    return fields;
}

void TrendChooserQt::Choose(int field, bool chosen) {
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole) == field)
            (*it)->setCheckState(0, chosen ? Qt::Checked : Qt::Unchecked);
    }
}

}  // namespace rv
