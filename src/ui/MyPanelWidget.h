#pragma once
// TMyPanel: the framed panel of the calibration tables. A panel with a centred caption that, after
// its ordinary painting, draws a 1-pixel frame around its client rectangle: the upper and left
// edges in the colour of its own pixel at (1, 1), so they melt into its background, the lower and
// right edges in light grey 0x00E5E5E5. Stacked cells thus read as a table with faint grid lines
// on the lower right of every cell.

#include <QLabel>

namespace rv {

class TMyPanel : public QLabel {
  public:
    explicit TMyPanel(const QString& caption = {}, QWidget* parent = nullptr);

    // The colour of the panel's pixel at (1, 1) after ordinary painting: its own background when it
    // fills it, else that of the nearest ancestor that does.
    QColor BackgroundAtPixel11() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace rv
