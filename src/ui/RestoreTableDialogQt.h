#pragma once
// "Восстановить тарировку…": the kept calibration tables, most recently changed first (time of
// the last change, unit ID, source with the fuel-level sensor's address, rows), and the channel
// the chosen one goes back into. The table is restored exactly as it was kept, so it can be
// continued and exported.

#include <QDialog>
#include <optional>
#include <vector>

#include "calibration/RecoveryFolder.h"
#include "text/RegionalFormats.h"

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace rv {

class RestoreTableDialogQt : public QDialog {
  public:
    RestoreTableDialogQt(std::vector<KeptTable> tables, const RegionalFormats& formats,
                         QWidget* parent = nullptr);

    // The table chosen and the channel (1..4) chosen for it, once the dialog was accepted.
    const KeptTableState* ChosenTable() const;
    int ChosenChannel() const;

  private:
    std::vector<KeptTable> tables_;
    QTreeWidget* list_ = nullptr;
    QComboBox* channel_ = nullptr;
    QPushButton* restore_ = nullptr;
};

}  // namespace rv
