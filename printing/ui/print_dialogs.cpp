#include "printing/ui/print_dialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/small_dialogs.h"
#include "document/app_state.h"
#include "document/settings_file.h"
#include "platform/file_sys.h"
#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/qt_text.h"

using platform::cp;

namespace {

QLineEdit* numberEdit(QGridLayout* grid, const QString& label, const QString& name, const QString& text,
                      const QString& unit, QWidget* parent) {
  const int row = grid->rowCount();
  auto* l = new QLabel(label, parent);
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  e->setAccessibleName(QString(label).remove(':'));
  e->setMaximumWidth(110);
  l->setBuddy(e);
  grid->addWidget(l, row, 0);
  grid->addWidget(e, row, 1);
  if (!unit.isEmpty()) grid->addWidget(new QLabel(unit, parent), row, 2);
  return e;
}

QString lengthText(double v) { return QString::fromStdString(platform::formatG6(v)); }

// A length typed in a field: a number (a decimal comma counts as the point)
// within 0..1000 cm, else nothing after telling the user.
std::optional<double> readLength(QLineEdit* e, const QString& title) {
  const std::optional<double> v = strictDecimalText(e->text());
  if (v && *v >= 0 && *v <= PrintLayout::kMaxLength) return v;
  platform::tell(cp("Podaj liczbę od 0 do 1000."), platform::fromQString(title), platform::MessageIcon::Warning);
  e->setFocus();
  e->selectAll();
  return std::nullopt;
}

}  // namespace

// --- paper --------------------------------------------------------------------------------------

CGetPaperSize::CGetPaperSize(double w, double h, QWidget* parent) : QDialog(parent), width(w), height(h) {
  setWindowTitle("Podaj rozmiar papieru");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  width_ = numberEdit(grid, QString::fromUtf8("Szerokość[cm]:"), "edit1013", lengthText(w), {}, this);
  height_ = numberEdit(grid, QString::fromUtf8("Wysokość[cm]:"), "edit1014", lengthText(h), {}, this);
  layout->addLayout(grid);
  addDialogButtons(this, layout, "OK", "Anuluj");
}

void CGetPaperSize::accept() {
  const auto w = readLength(width_, windowTitle());
  if (!w) return;
  const auto h = readLength(height_, windowTitle());
  if (!h) return;
  width = *w;
  height = *h;
  QDialog::accept();
}

// --- margins ------------------------------------------------------------------------------------

CDlgGetMargins::CDlgGetMargins(PrintLayout& layout, QWidget* parent) : QDialog(parent), layout_(layout) {
  setWindowTitle(QString::fromUtf8("Ustawienia marginesów"));
  setAccessibleName(windowTitle());
  auto* column = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  edits_[0] = numberEdit(grid, QString::fromUtf8("górny[cm]:"), "edit1013", lengthText(layout.marginTop), {}, this);
  edits_[1] = numberEdit(grid, "dolny[cm]:", "edit1014", lengthText(layout.marginBottom), {}, this);
  edits_[2] = numberEdit(grid, "prawy[cm]:", "edit1015", lengthText(layout.marginRight), {}, this);
  edits_[3] = numberEdit(grid, "lewy[cm]:", "edit1016", lengthText(layout.marginLeft), {}, this);
  column->addLayout(grid);
  QPushButton* keep = namedButton(QString::fromUtf8("Zachowaj jako domyślne"), this);
  keep->setAutoDefault(false);
  column->addWidget(keep);
  addDialogButtons(this, column, "OK", "Anuluj");
  connect(keep, &QPushButton::clicked, this, &CDlgGetMargins::keepAsDefault);
}

bool CDlgGetMargins::take() {
  double v[4];
  for (int i = 0; i < 4; ++i) {
    const auto read = readLength(edits_[i], windowTitle());
    if (!read) return false;
    v[i] = *read;
  }
  DefaultMargins m;
  m.top = v[0];
  m.bottom = v[1];
  m.right = v[2];
  m.left = v[3];
  layout_.setMargins(m);
  return true;
}

void CDlgGetMargins::accept() {
  if (take()) QDialog::accept();
}

void CDlgGetMargins::keepAsDefault() {
  if (!take()) return;
  app().settings.defaultMargins = layout_.margins();
  if (!saveSettings(app().settings, platform::fileSys().dirPath(platform::UserDataDir)))
    platform::tell(cp("Nie można zapisać ustawień (wnd.ini)."), "Info!!", platform::MessageIcon::Error);
  keptAsDefault = true;
  QDialog::accept();
}

// --- plan position -----------------------------------------------------------------------------

CDlgPlanePos::CDlgPlanePos(PrintLayout& layout, QWidget* parent) : QDialog(parent), layout_(layout) {
  setWindowTitle("Pozycja planu");
  setAccessibleName(windowTitle());
  auto* column = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  x_ = numberEdit(grid, QString::fromUtf8("Przesunięcie względem OX:"), "edit1013",
                  QString::fromStdString(layout.planOffsetXText()), "cm", this);
  y_ = numberEdit(grid, QString::fromUtf8("Przesunięcie względem OY:"), "edit1014",
                  QString::fromStdString(layout.planOffsetYText()), "cm", this);
  column->addLayout(grid);
  addDialogButtons(this, column, "OK");
}

void CDlgPlanePos::done(int r) {
  // However it closes, the plan goes where the fields say.
  layout_.setPlanPosition(x_->text().toStdString(), y_->text().toStdString());
  QDialog::done(r);
}

// --- print scale --------------------------------------------------------------------------------

CDlgPrintSetup::CDlgPrintSetup(int s, QWidget* parent) : QDialog(parent), scale(s) {
  setWindowTitle("Dodatkowe ustawienia wydruku");
  setAccessibleName(windowTitle());
  auto* column = new QVBoxLayout(this);
  auto* group = new QGroupBox(QString::fromUtf8("Drukuj w określonej skali"), this);
  auto* row = new QHBoxLayout(group);
  row->addWidget(new QLabel("1:", group));
  edit_ = new QLineEdit(QString::number(s), group);
  edit_->setObjectName("edit1013");
  edit_->setAccessibleName(QString::fromUtf8("Skala wydruku"));
  edit_->selectAll();
  row->addWidget(edit_);
  column->addWidget(group);
  addDialogButtons(this, column, "OK", "Anuluj");
}

void CDlgPrintSetup::accept() {
  bool ok = false;
  const int v = edit_->text().trimmed().toInt(&ok);
  if (!ok || v < 0 || v > PrintLayout::kMaxPrintScale) {
    platform::tell(cp("Podaj skalę od 0 do 99999."), platform::fromQString(windowTitle()),
                   platform::MessageIcon::Warning);
    edit_->setFocus();
    edit_->selectAll();
    return;
  }
  scale = v;
  QDialog::accept();
}
