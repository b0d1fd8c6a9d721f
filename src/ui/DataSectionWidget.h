#pragma once
// The body of "Данные": the received-bytes counter LL_PIN, the traffic log Memo and the free
// command line SendBox with its button Button1 ("Выполнить").

#include <QWidget>

namespace rv {

class DisplayBinderQt;
class DisplayModel;
class MainForm;

class DataSectionWidget : public QWidget {
  public:
    DataSectionWidget(MainForm& form, DisplayBinderQt& binder, QWidget* parent = nullptr);
};

}  // namespace rv
