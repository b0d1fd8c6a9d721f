#pragma once
// A separator row of a section: a thin sunken line along its bottom edge, drawn under the field
// column only (from `fieldLeft` to the right end), so the captions stand free.

#include <QWidget>

namespace rv {

class SeparatorRow : public QWidget {
  public:
    SeparatorRow(int fieldLeft, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int fieldLeft_;
};

}  // namespace rv
