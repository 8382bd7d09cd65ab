#pragma once
// The dialogs that edit one thing on the plan: the fill kind of a terrain
// shape, the turn of a line's or a dimension's label, and the text settings
// of a free text. What they decide is in the plain functions; the widgets
// show and collect.

#include <QDialog>
#include <array>
#include <functional>
#include <vector>
#include <string>

#include "platform/canvas.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class ColourSwatch;
class CPrimitive;
class CWText;

// --- fill kind --------------------------------------------------------------------

// The fill kinds of the dialog's list, in its order.
extern const int kFillDialogKinds[8];
// The list entry of `kind`; a kind the list does not hold selects "Inne".
int fillDialogEntry(int kind);
// Gives the shape its new kind (and the outline colour of the kind) and fill colour.
void applyFillChoice(CPrimitive& shape, int kind, platform::Colour fillColour);

// "Przypisz/Zmień wypełnienie".
class CDlgFillSel : public QDialog {
  Q_OBJECT
 public:
  CDlgFillSel(int kind, platform::Colour fillColour, QWidget* parent = nullptr);
  int fillKind;
  platform::Colour colour() const;
  QComboBox* list() const { return list_; }
  ColourSwatch* swatch() const { return swatch_; }

 private:
  void choose(int entry);
  QComboBox* list_;
  ColourSwatch* swatch_;
  QWidget* change_;
};

// --- water source ---------------------------------------------------------------------

// "Parametry źródła wody": the working pressure and the capacity of the
// source. OK with a value of zero or below (or no number) says so and stays.
class CDlgSourceParams : public QDialog {
  Q_OBJECT
 public:
  CDlgSourceParams(float pressure, float capacity, QWidget* parent = nullptr);
  float pressure() const;
  float capacity() const;
  QLineEdit* pressureEdit() const { return pressure_; }
  QLineEdit* capacityEdit() const { return capacity_; }

 public slots:
  void accept() override;

 private:
  QLineEdit* pressure_;
  QLineEdit* capacity_;
};

// --- rotary nozzles and radius reduction -----------------------------------------------

class CElem;
class CWBase;
class QTableWidget;
class QListWidget;

// A nozzle's curve: flow and throw radius against pressure over its table
// (points with no pressure are left out), the source pressure marked.
class NozzleCurve : public QWidget {
  Q_OBJECT
 public:
  struct Point3 {
    float p, q, r;
  };
  NozzleCurve(const QString& flowUnit, QWidget* parent = nullptr);
  void setPoints(std::vector<Point3> points);
  void setSourcePressure(float p) { source_ = p; update(); }
  const std::vector<Point3>& points() const { return points_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString flowUnit_;
  std::vector<Point3> points_;
  float source_ = 0;
};

// The rows of a nozzle table as a dialog shows them.
struct NozzleRows {
  std::string elementName;             // Windows-1250
  std::vector<std::string> rowNames;   // Windows-1250
  std::vector<std::array<float, 12>> points;  // P, Q, R of four working points a row
};
NozzleRows rotaryNozzleRows(const CElem* body);
NozzleRows insertNozzleRows(const CElem* insert);

// "Wybierz dyszę" (rotary sprinklers) and "Wybierz średnicę dyszy" (HADAR
// inserts): the rows with the working points of the highlighted one. No
// cancel: closing keeps the highlighted row.
class CDlgNozzle : public QDialog {
  Q_OBJECT
 public:
  // A rotary sprinkler body's nozzles.
  CDlgNozzle(const CElem* body, int row, QWidget* parent = nullptr);
  // An insert's nozzle sizes.
  static CDlgNozzle* forInsert(const CElem* insert, int row, QWidget* parent);
  int row() const;
  QListWidget* rows() const { return rows_; }
  QTableWidget* points() const { return points_; }
  NozzleCurve* curve() const { return curve_; }

 private:
  CDlgNozzle(const NozzleRows& rows, int row, const QString& title, const QString& nameLabel,
             const QString& listLabel, const QString& flowHeader, QWidget* parent);
  void build(const QString& title, const QString& nameLabel, const QString& listLabel, const QString& flowHeader,
             int row);
  void showRow(int row);
  NozzleRows data_;
  QListWidget* rows_ = nullptr;
  QTableWidget* points_ = nullptr;
  NozzleCurve* curve_ = nullptr;
};

// "Zmień typ linii kroplującej": every drip line type of the catalogue by its
// short name, the line's own selected; "Zastosuj" accepts, "Wyjście" not.
class CDlgDripType : public QDialog {
  Q_OBJECT
 public:
  CDlgDripType(CElem* current, QWidget* parent = nullptr);
  CElem* chosen() const;
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
};
// "Wybierz dyszę" of the static sprinklers: every nozzle of the catalogue
// that is not archived, by name; the first one chosen at first.
class CDlgStaticNozzles : public QDialog {
  Q_OBJECT
 public:
  explicit CDlgStaticNozzles(QWidget* parent = nullptr);
  CElem* chosen() const;
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
};

// "Parametry dyszy": what the catalogue says of a static nozzle, by kind.
class CDlgNozzleParams : public QDialog {
  Q_OBJECT
 public:
  CDlgNozzleParams(const CElem* nozzle, QWidget* parent = nullptr);
  QTableWidget* points() const { return points_; }
  QListWidget* angles() const { return angles_; }
  NozzleCurve* curve() const { return curve_; }

 private:
  void showAngle(int row);
  const CElem* nozzle_;
  QTableWidget* points_ = nullptr;
  QListWidget* angles_ = nullptr;
  NozzleCurve* curve_ = nullptr;
};

// The name a drip line type shows in that list: the part between "<" and
// ">", or the whole name without them.
std::string dripTypeShortName(const std::string& name);

// "Redukcja promienia zraszania" (modeless): the slider takes the radius of
// the object down by up to 25 % (micro-sprinklers 100 %) as it moves; "Ok"
// keeps it, "Wyjdź" gives the full radius back. `changed` repaints the plan
// and marks the project changed.
class CDlgReduction : public QDialog {
  Q_OBJECT
 public:
  CDlgReduction(CWBase& object, std::function<void()> changed, QWidget* parent = nullptr);
  CWBase& object() const { return object_; }
  QSlider* slider() const { return slider_; }

 private:
  void moved(int position);
  CWBase& object_;
  std::function<void()> changed_;
  int full_;
  QSlider* slider_;
  QLineEdit* level_;
};

// --- object list -------------------------------------------------------------------------

class CGraphicPlane;

// "Wybierz obiekt" (modeless): the plan's objects in list order by their kind
// names; choosing one selects it on the plan. `changed` repaints the plan.
class CDlgObjList : public QDialog {
  Q_OBJECT
 public:
  CDlgObjList(CGraphicPlane& doc, std::function<void()> changed, QWidget* parent = nullptr);
  QListWidget* list() const { return list_; }

 private:
  CGraphicPlane& doc_;
  std::function<void()> changed_;
  QListWidget* list_;
};

// --- label rotation -------------------------------------------------------------------

// The slider's position for a label angle (tenths of a degree), truncated,
// and the angle for a slider position.
int rotationSliderPosition(int angle);
int rotationAngle(int sliderPosition);

// "Obróć opis": turns the label of a line or a dimension while the slider
// moves. `angle` is the object's label angle field; `changed` repaints the plan.
class CDLGRotText : public QDialog {
  Q_OBJECT
 public:
  CDLGRotText(int& angle, std::function<void()> changed, QWidget* parent = nullptr);
  QSlider* slider() const { return slider_; }
  QLineEdit* edit() const { return edit_; }

 private:
  void moved(int position);
  int& angle_;
  std::function<void()> changed_;
  QSlider* slider_;
  QLineEdit* edit_;
};

// --- text settings -----------------------------------------------------------------------

// What the text dialog edits; `fromText` / `applyTo` carry it to and from a text.
struct TextSettings {
  std::string text = "Tekst";  // Windows-1250, at most 799 bytes
  std::string fontFace = "Arial";
  int fontSize = 10;
  int fontWeight = 400;
  int angle = 0;
  int italic = 0;
  int underline = 0;
  platform::Colour textColour = 0;

  static constexpr size_t kMaxText = 799;
  friend bool operator==(const TextSettings&, const TextSettings&) = default;
  static TextSettings fromText(const CWText& t);
  void applyTo(CWText& t) const;
};

// "Ustawienia tekstu".
class CDLGFonSettings : public QDialog {
  Q_OBJECT
 public:
  explicit CDLGFonSettings(const TextSettings& start, QWidget* parent = nullptr);
  TextSettings settings;
  QLineEdit* textEdit() const { return text_; }
  QComboBox* faceList() const { return face_; }
  QComboBox* sizeList() const { return size_; }
  QComboBox* styleList() const { return style_; }

 private:
  QLineEdit* text_;
  QComboBox* face_;
  QComboBox* size_;
  QComboBox* style_;
  QCheckBox* italic_;
  QCheckBox* underline_;
  ColourSwatch* swatch_;
  QWidget* preview_;
};
