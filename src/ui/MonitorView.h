#pragma once
// The monitor view Panel0: four section columns (Panel1 a scroll box, Panel2 to Panel4 plain
// panels, white and light grey in turn), the hidden holder Panel, and the ten foldable sections
// built from the section plan. The column rule runs on every resize of the view and places the
// sections for 2, 3 or 4 columns. The view follows the connection control: the port cells of
// the connection section's header, the highlighted port, and the enabling of the seven header
// command buttons.

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "layout/ColumnRule.h"
#include "serial/ConnectionControl.h"

class QScrollArea;
class QToolButton;

namespace rv {

class DataSectionWidget;
class DisplayBinderQt;
class MainForm;
class PortStripWidget;
class SectionColumnWidget;
class SectionWidget;

class MonitorView : public QWidget, public ConnectionObserver {
  public:
    MonitorView(MainForm& form, DisplayBinderQt& binder, QWidget* parent = nullptr);

    // The column rule; also runs on every resize of Panel0.
    void Panel0Resize();
    // The remembered column count (-1 before the first run).
    int ColumnCount() const;
    // Called at the start of each run (the window sets the calibration column width there).
    void SetOnPanel0Resize(std::function<void()> f);

    SectionWidget* Section(const std::string& name) const;
    // Unfolds "Данные" when it is folded and opens the traffic log's search bar.
    void OpenLogSearch();
    PortStripWidget* PortStrip() const { return portStrip_; }

    void PortsChanged() override;
    void HighlightChanged() override;
    void LinkChanged() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    SectionWidget* BuildSection(const SectionPlan& plan);
    void PlaceSections(int columns);
    void LayoutColumns(const ColumnRule::Result& r);
    void RelayoutColumnOf(SectionWidget* section);
    void RelayoutColumn(int column);

    MainForm& form_;
    DisplayBinderQt& binder_;
    ColumnRule rule_;
    std::function<void()> onPanel0Resize_;
    QScrollArea* panel1_ = nullptr;
    QWidget* holder_ = nullptr;
    std::vector<QWidget*> columnPanels_;         // Panel1 .. Panel4
    std::vector<SectionColumnWidget*> columns_;  // the stacks inside them
    std::map<std::string, SectionWidget*> sections_;
    PortStripWidget* portStrip_ = nullptr;
    DataSectionWidget* dataSection_ = nullptr;
    std::vector<QToolButton*> headerCommands_;
    Subscription connectionSubscription_;
};

}  // namespace rv
