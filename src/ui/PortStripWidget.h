#pragma once
// The header line of "Подключение COM" (PanelCOM, 28 pixels high, 24 inside): the fold cell, the
// title cell Panel289 (the full title while it is at least 126 pixels wide, else "COM"), one port
// cell per port the connection control offers, and at the right end, after a 4-pixel gap, the
// stop button SpeedButton9. Port cells stand in list order from the right edge inwards; the cell
// of the open port is black with a light-green number, the others light green with a black one.

#include <vector>

#include "ui/SectionWidget.h"

class QToolButton;

namespace rv {

class ConnectionControl;

class PortStripWidget : public SectionHeaderWidget {
  public:
    PortStripWidget(const SectionPlan& plan, ConnectionControl& connection,
                    QWidget* parent = nullptr);

    // Makes the port cells anew from the connection control's port list (PortsChanged).
    void RebuildPorts();
    // Colours the cells after the highlighted port (HighlightChanged).
    void UpdatePort();
    // The title rule of the title cell.
    void Panel289Resize();

    // The port buttons, in list order.
    const std::vector<QToolButton*>& PortButtons() const { return buttons_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ConnectionControl& connection_;
    QToolButton* stop_ = nullptr;
    std::vector<QWidget*> cells_;
    std::vector<QToolButton*> buttons_;
};

}  // namespace rv
