#pragma once
// What the main window shows while no project is open: the splash picture
// centred on grey.

#include <QImage>
#include <QWidget>

class CChildView : public QWidget {
  Q_OBJECT
 public:
  explicit CChildView(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QImage splash_;
};
