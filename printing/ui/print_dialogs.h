#pragma once
// The small dialogs of the print layout: a custom paper size, the margins,
// the plan's position on the sheet and the print scale.

#include <QDialog>

#include "printing/print_layout.h"

class QLineEdit;

// "Podaj rozmiar papieru": width and height as oriented, 0 to 1000 cm.
class CGetPaperSize : public QDialog {
  Q_OBJECT
 public:
  CGetPaperSize(double width, double height, QWidget* parent = nullptr);
  double width, height;
  QLineEdit* widthEdit() const { return width_; }
  QLineEdit* heightEdit() const { return height_; }
 public slots:
  void accept() override;

 private:
  QLineEdit* width_;
  QLineEdit* height_;
};

// "Ustawienia marginesów": OK takes the four margins into the layout;
// "Zachowaj jako domyślne" also keeps them as the defaults of new projects.
class CDlgGetMargins : public QDialog {
  Q_OBJECT
 public:
  CDlgGetMargins(PrintLayout& layout, QWidget* parent = nullptr);
  QLineEdit* edit(int i) const { return edits_[i]; }  // top, bottom, right, left
  bool keptAsDefault = false;
 public slots:
  void accept() override;
  void keepAsDefault();

 private:
  bool take();
  PrintLayout& layout_;
  QLineEdit* edits_[4];
};

// "Pozycja planu": the offsets as the user sees them; whatever way it
// closes, the layout takes what the fields hold.
class CDlgPlanePos : public QDialog {
  Q_OBJECT
 public:
  CDlgPlanePos(PrintLayout& layout, QWidget* parent = nullptr);
  QLineEdit* xEdit() const { return x_; }
  QLineEdit* yEdit() const { return y_; }
  void done(int r) override;

 private:
  PrintLayout& layout_;
  QLineEdit* x_;
  QLineEdit* y_;
};

// "Dodatkowe ustawienia wydruku": the print scale 1:N, 0 to 99999.
class CDlgPrintSetup : public QDialog {
  Q_OBJECT
 public:
  CDlgPrintSetup(int scale, QWidget* parent = nullptr);
  // After closing: the field's value with OK, else the scale given.
  int scale;
  QLineEdit* edit() const { return edit_; }
 public slots:
  void accept() override;

 private:
  QLineEdit* edit_;
};
