#pragma once
// The dialogs of the settings and of the project's description: the
// preferences "Preferencje", the project properties "Właściwości projektu",
// the price multiplier and the VAT rate.

#include <QDialog>
#include <array>

#include "document/app_settings.h"

class QComboBox;
class QLineEdit;
class CGraphicPlane;
class ColourSwatch;

// "Preferencje": colours, the label font, autosave and the print widths.
// Font, autosave and width choices reach the settings at once; the colours
// when the dialog closes (the caller copies them), or with "Zachowaj".
class CDlgSettings : public QDialog {
  Q_OBJECT
 public:
  explicit CDlgSettings(AppSettings& settings, QWidget* parent = nullptr);
  // The five working colours: background, terrain points, ranges, system
  // points, labels.
  std::array<Colour, 5> colours() const;
  // Copies the working colours into the settings.
  void takeColours();
  QComboBox* faceList() const { return face_; }
  QComboBox* sizeList() const { return size_; }
  QComboBox* styleList() const { return style_; }
  QComboBox* widthList(int i) const { return widths_.at(i); }
  QLineEdit* autosaveEdit() const { return autosave_; }
  ColourSwatch* swatch(int i) const { return swatches_.at(i); }

 public slots:
  // "Zachowaj": colours and widths stored, "wnd.ini" written; stays open.
  void keep();

 private:
  AppSettings& s_;
  std::array<ColourSwatch*, 5> swatches_{};
  std::array<QComboBox*, 4> widths_{};
  QComboBox* face_;
  QComboBox* size_;
  QComboBox* style_;
  QLineEdit* autosave_;
  class FontPreview* preview_;
};

// "Właściwości projektu": the project's and the company's texts and logo.
// The caller copies the fields into the document however it was closed.
class CDlgProjProp : public QDialog {
  Q_OBJECT
 public:
  CDlgProjProp(const CGraphicPlane& doc, AppSettings& settings, QWidget* parent = nullptr);
  // Field order: investor, object, project no., date, company name, address,
  // phone, e-mail, web, logo file, author (Windows-1250).
  static constexpr int kFields = 11;
  QLineEdit* field(int i) const { return fields_.at(i); }
  // Puts the fields into `doc`.
  void copyInto(CGraphicPlane& doc) const;

 public slots:
  // "Zapisz jako domyślne": the company block and the author become the
  // settings' defaults and "wnd.ini" is written; stays open.
  void keepAsDefault();
  // "Przeglądaj": the logo file.
  void chooseLogo();

 private:
  AppSettings& s_;
  std::array<QLineEdit*, kFields> fields_{};
};

// "Ustawienia mnożnika" and "Ustawienia podatku VAT": one number. "Zachowaj"
// also writes it to the configuration; both take it for the run.
class CDlgPriceValue : public QDialog {
  Q_OBJECT
 public:
  enum class Kind { Multiplier, Vat };
  CDlgPriceValue(Kind kind, float value, QWidget* parent = nullptr);
  QLineEdit* edit() const { return edit_; }
  float value = 0;
  // The value is to be written to the configuration ("Zachowaj").
  bool keep = false;

 private:
  bool take();
  Kind kind_;
  QLineEdit* edit_;
};
