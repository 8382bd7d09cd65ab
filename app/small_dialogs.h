#pragma once
// The small dialogs of the frame: the drawing scale of a new project, the
// grid settings and the about box. What they decide is in the plain
// functions below; the widgets show and collect.

#include <QDialog>
#include <optional>
#include <string>

#include "platform/canvas.h"

class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The text of an edit read as an unsigned number; 0 when it is not one.
unsigned parseUnsignedText(const std::string& text);
// The text of an edit read as a decimal number (a decimal comma counts as
// the point); 0 when it is not one.
float parseDecimalText(const std::string& text);
// A field that must hold a whole decimal number (a decimal comma counts as
// the point); nothing when it does not.
std::optional<double> strictDecimalText(const QString& text);
// A float shown with `digits` significant digits, without trailing zeros.
std::string significantText(double value, int digits);

// A button named for assistive technology by its text.
QPushButton* namedButton(const QString& text, QWidget* parent);
// The dialog's buttons below everything else: `okText` accepts and is the
// default; `cancelText`, when given, rejects.
void addDialogButtons(QDialog* dialog, QVBoxLayout* layout, const QString& okText = "OK",
                      const QString& cancelText = {});

// A rectangle filled with a colour and outlined in black; "zmień" beside it
// opens the colour dialog.
class ColourSwatch : public QWidget {
  Q_OBJECT
 public:
  explicit ColourSwatch(platform::Colour c, QWidget* parent = nullptr);
  platform::Colour colour() const { return colour_; }
  void setColour(platform::Colour c);
  // The standard colour dialog with the current colour chosen; Cancel keeps it.
  void pick(const QString& title);

 signals:
  void changed();

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::Colour colour_;
};

// "Podaj skalę rysunku": the denominator n of 1:n.
class CDlgProjScale : public QDialog {
  Q_OBJECT
 public:
  explicit CDlgProjScale(QWidget* parent = nullptr);
  // 100 until OK reads the edit; 0 when the edit holds no number.
  unsigned denominator = 100;
  QLineEdit* edit() const { return edit_; }

 public slots:
  void accept() override;

 private:
  QLineEdit* edit_;
};

// "Ustawienia siatki": the grid step in metres and the grid colour.
class CDlgGrid : public QDialog {
  Q_OBJECT
 public:
  CDlgGrid(float step, platform::Colour colour, QWidget* parent = nullptr);
  // The step as typed (0 when not a number) and the working colour.
  float step;
  platform::Colour colour() const;
  QLineEdit* edit() const { return edit_; }

 public slots:
  void accept() override;

 private:
  QLineEdit* edit_;
  ColourSwatch* swatch_;
};

// "Podaj nazwę:": one line of text. The caller reads `result` however the
// dialog was closed: what the field held, at most 98 characters.
class CDlgTextIn : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxLength = 98;
  // `initialText` is Windows-1250.
  explicit CDlgTextIn(const std::string& initialText, QWidget* parent = nullptr);
  std::string result;  // Windows-1250
  QLineEdit* edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

// The about box.
class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
