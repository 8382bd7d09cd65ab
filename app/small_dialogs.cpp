#include "app/small_dialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/canvas_qpainter.h"
#include "platform/qt_text.h"

namespace {

std::string trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

}  // namespace

QPushButton* namedButton(const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setAccessibleName(QString(text).remove('&'));
  return b;
}

void addDialogButtons(QDialog* dialog, QVBoxLayout* layout, const QString& okText, const QString& cancelText) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* ok = namedButton(okText, dialog);
  ok->setDefault(true);
  buttons->addButton(ok, QDialogButtonBox::AcceptRole);
  if (!cancelText.isEmpty()) buttons->addButton(namedButton(cancelText, dialog), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

unsigned parseUnsignedText(const std::string& text) {
  const std::string t = trimmed(text);
  if (t.empty() || t.size() > 10) return 0;
  unsigned long long v = 0;
  for (char c : t) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  return v > UINT_MAX ? 0 : static_cast<unsigned>(v);
}

float parseDecimalText(const std::string& text) {
  std::string t = trimmed(text);
  for (char& c : t)
    if (c == ',') c = '.';
  if (t.empty()) return 0;
  // The point is the decimal point whatever the locale: parse by hand.
  size_t i = 0;
  bool negative = false;
  if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
  double v = 0, scale = 1;
  bool digits = false, point = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digits = true;
      if (point) {
        scale /= 10;
        v += (c - '0') * scale;
      } else {
        v = v * 10 + (c - '0');
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return 0;
    }
  }
  if (!digits || !std::isfinite(v) || v > 3.0e38) return 0;
  return static_cast<float>(negative ? -v : v);
}

std::optional<double> strictDecimalText(const QString& text) {
  QString t = text.trimmed();
  t.replace(',', '.');
  bool ok = false;
  const double v = t.toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string significantText(double value, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", digits, value);
  return buf;
}

// --- colour swatch ------------------------------------------------------------------

ColourSwatch::ColourSwatch(platform::Colour c, QWidget* parent) : QWidget(parent), colour_(c) {
  setMinimumSize(48, 22);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ColourSwatch::setColour(platform::Colour c) {
  colour_ = c;
  update();
  emit changed();
}

void ColourSwatch::pick(const QString& title) {
  const QColor chosen = QColorDialog::getColor(platform::toQColor(colour_), this, title);
  if (chosen.isValid()) setColour(platform::fromQColor(chosen));
}

void ColourSwatch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(Qt::black);
  p.setBrush(isEnabled() ? platform::toQColor(colour_) : QColor(0x80, 0x80, 0x80));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// --- drawing scale ---------------------------------------------------------------------

CDlgProjScale::CDlgProjScale(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Podaj skalę rysunku"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel("Skala rysunku:   1:", this);
  edit_ = new QLineEdit("100", this);
  edit_->setObjectName("edit1013");
  edit_->setAccessibleName("Skala rysunku:   1:");
  label->setBuddy(edit_);
  row->addWidget(label);
  row->addWidget(edit_);
  layout->addLayout(row);
  addDialogButtons(this, layout);
  edit_->selectAll();
}

void CDlgProjScale::accept() {
  denominator = parseUnsignedText(platform::fromQString(edit_->text()));
  QDialog::accept();
}

// --- grid settings -----------------------------------------------------------------------

CDlgGrid::CDlgGrid(float step, platform::Colour colour, QWidget* parent) : QDialog(parent), step(step) {
  setWindowTitle("Ustawienia siatki");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QGridLayout;
  auto* stepLabel = new QLabel(QString::fromUtf8("Wyświetlaj siatkę co:"), this);
  edit_ = new QLineEdit(QString::fromStdString(significantText(step, 5)), this);
  edit_->setObjectName("edit1013");
  edit_->setAccessibleName(stepLabel->text());
  stepLabel->setBuddy(edit_);
  form->addWidget(stepLabel, 0, 0);
  form->addWidget(edit_, 0, 1);
  form->addWidget(new QLabel("m [1.0]", this), 0, 2);
  auto* colourLabel = new QLabel("Kolor siatki:", this);
  swatch_ = new ColourSwatch(colour, this);
  swatch_->setAccessibleName(colourLabel->text());
  QPushButton* change = namedButton(QString::fromUtf8("zmień"), this);
  form->addWidget(colourLabel, 1, 0);
  form->addWidget(swatch_, 1, 1, Qt::AlignLeft);
  form->addWidget(change, 1, 2);
  layout->addLayout(form);
  addDialogButtons(this, layout);
  connect(change, &QPushButton::clicked, this, [this] { swatch_->pick("Kolor siatki"); });
  connect(edit_, &QLineEdit::textChanged, this,
          [this](const QString& t) { this->step = parseDecimalText(platform::fromQString(t)); });
}

platform::Colour CDlgGrid::colour() const { return swatch_->colour(); }

void CDlgGrid::accept() {
  if (!(step > 0)) {
    // A grid of no step cannot be drawn or snapped to.
    QMessageBox::warning(this, "Ustawienia siatki", QString::fromUtf8("Podaj krok siatki większy od zera."));
    edit_->setFocus();
    edit_->selectAll();
    return;
  }
  QDialog::accept();
}

// --- name input ----------------------------------------------------------------------------

CDlgTextIn::CDlgTextIn(const std::string& initialText, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Podaj nazwę:"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  edit_ = new QLineEdit(platform::toQString(initialText), this);
  edit_->setObjectName("edit1013");
  edit_->setAccessibleName(windowTitle());
  edit_->setMinimumWidth(320);
  edit_->setMaxLength(kMaxLength);
  edit_->selectAll();
  layout->addWidget(edit_);
  addDialogButtons(this, layout);
  // What the field holds is the result: unchanged, the initial text; every
  // change is kept at once, so that Esc returns what was typed too.
  result = platform::fromQString(edit_->text());
  connect(edit_, &QLineEdit::textChanged, this,
          [this](const QString& t) { result = platform::fromQString(t.left(kMaxLength)); });
}

// --- about -------------------------------------------------------------------------------

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("O programie VERDIMO");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel("VERDIMO ver. 4.2 (03.2018)", this);
  QFont f = title->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.3);
  title->setFont(f);
  layout->addWidget(title);
  layout->addWidget(new QLabel(QString::fromUtf8("Projektowanie systemów nawadniania ogrodów."), this));
  addDialogButtons(this, layout);
}
