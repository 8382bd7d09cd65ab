#include "app/settings_dialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "document/settings_file.h"
#include "platform/canvas_qpainter.h"
#include "platform/file_sys.h"
#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/qt_text.h"

using platform::cp;
using platform::fromQString;
using platform::toQString;

// The label font as the plan will show it.
class FontPreview : public QWidget {
 public:
  FontPreview(const AppSettings& s, const ColourSwatch* colour, QWidget* parent)
      : QWidget(parent), s_(s), colour_(colour) {
    setMinimumSize(220, 90);
    setAccessibleName(QString::fromUtf8("Podgląd czcionki"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    platform::QPainterCanvas c(p);
    platform::Font f;
    f.face = s_.labelFontFace;
    f.height = s_.labelFontHeight;
    f.weight = s_.labelFontWeight;
    c.setFont(f);
    c.setOpaqueBackground(false);
    c.setTextColour(colour_->colour());
    c.text({20, 20}, "Tekst 10");
    c.text({20, 20 + s_.labelFontHeight}, cp("łąęśćżź"));
  }

 private:
  const AppSettings& s_;
  const ColourSwatch* colour_;  // the label colour's swatch
};

namespace {

QComboBox* numberList(const QString& name, int from, int to, QWidget* parent) {
  auto* l = new QComboBox(parent);
  l->setAccessibleName(name);
  for (int i = from; i <= to; ++i) l->addItem(QString::number(i), i);
  return l;
}

// The colour of a swatch row: label, swatch, "zmień".
ColourSwatch* colourRow(QGridLayout* grid, const QString& label, Colour c, int swatchId, QWidget* parent) {
  const int row = grid->rowCount();
  auto* l = new QLabel(label, parent);
  auto* swatch = new ColourSwatch(c, parent);
  swatch->setObjectName(QString("swatch%1").arg(swatchId));
  swatch->setAccessibleName(QString(label).replace('\n', ' '));
  QPushButton* change = namedButton(QString::fromUtf8("zmień"), parent);
  change->setAccessibleName(QString::fromUtf8("zmień: ") + swatch->accessibleName());
  change->setAutoDefault(false);
  grid->addWidget(l, row, 0);
  grid->addWidget(swatch, row, 1);
  grid->addWidget(change, row, 2);
  QObject::connect(change, &QPushButton::clicked, swatch, [swatch] { swatch->pick(swatch->accessibleName()); });
  return swatch;
}

// A print width of 2 to 20 as the entry "1" to "10" of its list.
int widthEntry(int width) { return std::clamp(width / 2 - 1, 0, 9); }

}  // namespace

// --- preferences -----------------------------------------------------------------------------

CDlgSettings::CDlgSettings(AppSettings& settings, QWidget* parent) : QDialog(parent), s_(settings) {
  setWindowTitle("Preferencje");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  layout->addLayout(columns);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);

  auto group = [this](const QString& title, QVBoxLayout* column) {
    auto* g = new QGroupBox(title, this);
    auto* grid = new QGridLayout(g);
    column->addWidget(g);
    return grid;
  };
  const QString points = QString::fromUtf8("Kolor punktów\nkontrolnych:");
  swatches_[0] = colourRow(group(QString::fromUtf8("Ogólne"), left), QString::fromUtf8("Kolor tła:"),
                           s_.backgroundColour, 1032, this);
  swatches_[1] = colourRow(group("Teren", left), points, s_.terrainPointColour, 1035, this);
  QGridLayout* system = group(QString::fromUtf8("System nawadniający"), left);
  swatches_[2] = colourRow(system, QString::fromUtf8("Kolor zasięgów:"), s_.rangeColour, 1034, this);
  swatches_[3] = colourRow(system, points, s_.systemPointColour, 1036, this);
  swatches_[1]->setAccessibleName(QString::fromUtf8("Kolor punktów kontrolnych terenu"));
  swatches_[3]->setAccessibleName(QString::fromUtf8("Kolor punktów kontrolnych systemu"));

  QGridLayout* labels = group(QString::fromUtf8("Ustawienia opisów"), right);
  swatches_[4] = colourRow(labels, QString::fromUtf8("Kolor opisów:"), s_.labelColour, 1038, this);
  face_ = new QComboBox(this);
  face_->setObjectName("list1022");
  face_->setAccessibleName("Czcionka");
  QStringList families = QFontDatabase::families();
  families.sort(Qt::CaseInsensitive);
  for (const QString& f : families) face_->addItem(f, f);
  size_ = numberList("Rozmiar", 0, 79, this);
  size_->setObjectName("list1041");
  style_ = new QComboBox(this);
  style_->setObjectName("list1024");
  style_->setAccessibleName("Styl");
  style_->addItem("Normal", 400);
  style_->addItem("Bold", 700);
  auto* fontRow = new QGridLayout;
  fontRow->addWidget(new QLabel("Czcionka", this), 0, 0);
  fontRow->addWidget(new QLabel("Rozmiar", this), 0, 1);
  fontRow->addWidget(new QLabel("Styl", this), 0, 2);
  fontRow->addWidget(face_, 1, 0);
  fontRow->addWidget(size_, 1, 1);
  fontRow->addWidget(style_, 1, 2);
  labels->addLayout(fontRow, labels->rowCount(), 0, 1, 3);
  auto* previewBox = new QGroupBox(QString::fromUtf8("Podgląd czcionki"), this);
  auto* previewLayout = new QVBoxLayout(previewBox);
  preview_ = new FontPreview(s_, swatches_[4], previewBox);
  previewLayout->addWidget(preview_);
  right->addWidget(previewBox);

  auto* autosaveRow = new QHBoxLayout;
  auto* autosaveLabel = new QLabel("Automatycznie zapisuj projekt co:", this);
  autosave_ = new QLineEdit(QString::number(s_.autosaveMinutes), this);
  autosave_->setObjectName("edit1014");
  autosave_->setAccessibleName(autosaveLabel->text());
  autosave_->setMaximumWidth(60);
  autosaveLabel->setBuddy(autosave_);
  autosaveRow->addWidget(autosaveLabel);
  autosaveRow->addWidget(autosave_);
  autosaveRow->addWidget(new QLabel("min", this));
  autosaveRow->addWidget(new QLabel(QString::fromUtf8("0 - wyłącza autozapis"), this));
  autosaveRow->addStretch(1);
  left->addLayout(autosaveRow);

  QGridLayout* print = group(QString::fromUtf8("Grubość lini na wydruku "), right);
  const char* widthNames[] = {"Zasięgów zraszaczy", "Rur", "Kabli", "Linii kroplujących"};
  const int widthIds[] = {1058, 1026, 1027, 1028};
  int* widthFields[] = {&s_.printWidthRanges, &s_.printWidthPipes, &s_.printWidthCables, &s_.printWidthDriplines};
  for (int i = 0; i < 4; ++i) {
    widths_[i] = numberList(QString::fromUtf8(widthNames[i]), 1, 10, this);
    widths_[i]->setObjectName(QString("list%1").arg(widthIds[i]));
    widths_[i]->setCurrentIndex(widthEntry(*widthFields[i]));
    print->addWidget(new QLabel(QString::fromUtf8(widthNames[i]), this), i, 0);
    print->addWidget(widths_[i], i, 1);
    int* field = widthFields[i];
    connect(widths_[i], &QComboBox::currentIndexChanged, this, [field](int entry) {
      if (entry >= 0) *field = entry * 2 + 2;
    });
  }
  left->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* ok = namedButton("Ok", this);
  ok->setDefault(true);
  QPushButton* keepButton = namedButton("Zachowaj", this);
  keepButton->setAutoDefault(false);
  buttons->addWidget(ok);
  buttons->addWidget(keepButton);
  layout->addLayout(buttons);

  // The face stored is found by its name. A face the system lists under
  // another name (Arial stands for its metric twin) is offered as it is, so
  // that opening the dialog never changes the labels.
  const QString stored = toQString(s_.labelFontFace);
  int faceAt = face_->findData(stored);
  if (faceAt < 0 && !stored.isEmpty()) {
    faceAt = 0;
    while (faceAt < face_->count() && QString::compare(face_->itemText(faceAt), stored, Qt::CaseInsensitive) < 0) ++faceAt;
    face_->insertItem(faceAt, stored, stored);
  }
  if (faceAt < 0 && s_.labelFontFaceIndex >= 0 && s_.labelFontFaceIndex < face_->count()) faceAt = s_.labelFontFaceIndex;
  face_->setCurrentIndex(faceAt);
  // The size shown is the height in use.
  const int sizeAt = size_->findData(s_.labelFontHeight);
  size_->setCurrentIndex(sizeAt >= 0 ? sizeAt : std::clamp(s_.labelFontSizeIndex, 0, 79));
  style_->setCurrentIndex(std::clamp(s_.labelFontStyleIndex, 0, 1));

  connect(face_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0) return;
    s_.labelFontFaceIndex = i;
    s_.labelFontFace = fromQString(face_->itemData(i).toString());
    preview_->update();
  });
  connect(size_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0) return;
    s_.labelFontSizeIndex = i;
    s_.labelFontHeight = size_->itemData(i).toInt();
    preview_->update();
  });
  connect(style_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0) return;
    s_.labelFontStyleIndex = i;
    s_.labelFontWeight = style_->itemData(i).toInt();
    preview_->update();
  });
  connect(autosave_, &QLineEdit::textChanged, this,
          [this](const QString& t) { s_.autosaveMinutes = static_cast<int>(parseUnsignedText(fromQString(t))); });
  for (ColourSwatch* sw : swatches_) connect(sw, &ColourSwatch::changed, preview_, [this] { preview_->update(); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(keepButton, &QPushButton::clicked, this, &CDlgSettings::keep);
}

std::array<Colour, 5> CDlgSettings::colours() const {
  return {swatches_[0]->colour(), swatches_[1]->colour(), swatches_[2]->colour(), swatches_[3]->colour(),
          swatches_[4]->colour()};
}

void CDlgSettings::takeColours() {
  const auto c = colours();
  s_.backgroundColour = c[0];
  s_.terrainPointColour = c[1];
  s_.rangeColour = c[2];
  s_.systemPointColour = c[3];
  s_.labelColour = c[4];
}

void CDlgSettings::keep() {
  takeColours();
  if (!saveSettings(s_, platform::fileSys().dirPath(platform::UserDataDir)))
    platform::tell(cp("Nie można zapisać ustawień (wnd.ini)."), "Info!!", platform::MessageIcon::Error);
}

// --- project properties ---------------------------------------------------------------------

namespace {

struct PropertyField {
  const char* label;
  int id;
};

constexpr PropertyField kPropertyFields[CDlgProjProp::kFields] = {
    {"Inwestor:", 1014}, {"Obiekt:", 1042},   {"Projekt nr:", 1013}, {"Data:", 1029},
    {"Nazwa:", 1053},    {"Adres:", 1054},    {"Tel/fax:", 1055},    {"e-mail:", 1056},
    {"www:", 1057},      {"Plik z logiem firmy:", 1058}, {"Autor:", 1059}};

}  // namespace

CDlgProjProp::CDlgProjProp(const CGraphicPlane& doc, AppSettings& settings, QWidget* parent)
    : QDialog(parent), s_(settings) {
  setWindowTitle(QString::fromUtf8("Właściwości projektu"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  const std::string* values[kFields] = {&doc.investor,       &doc.objectName,   &doc.projectNo,    &doc.projectDate,
                                        &doc.companyName,    &doc.companyAddress, &doc.companyPhone, &doc.companyEmail,
                                        &doc.companyWww,     &doc.companyLogo,  &doc.author};
  for (int i = 0; i < kFields; ++i) {
    fields_[i] = new QLineEdit(toQString(*values[i]), this);
    fields_[i]->setObjectName(QString("edit%1").arg(kPropertyFields[i].id));
    fields_[i]->setAccessibleName(QString::fromUtf8(kPropertyFields[i].label).remove(':'));
    fields_[i]->setMaxLength(i == 9 ? 259 : 509);
    fields_[i]->setMinimumWidth(360);
  }
  fields_[9]->setReadOnly(true);
  auto* project = new QGridLayout;
  for (int i : {0, 1, 2, 3, 10}) {
    const int row = project->rowCount();
    project->addWidget(new QLabel(QString::fromUtf8(kPropertyFields[i].label), this), row, 0);
    project->addWidget(fields_[i], row, 1);
  }
  layout->addLayout(project);
  auto* company = new QGroupBox("Dane adresowe firmy", this);
  auto* grid = new QGridLayout(company);
  for (int i = 4; i <= 9; ++i) {
    grid->addWidget(new QLabel(QString::fromUtf8(kPropertyFields[i].label), company), i, 0);
    grid->addWidget(fields_[i], i, 1);
  }
  QPushButton* browse = namedButton(QString::fromUtf8("Przeglądaj"), company);
  browse->setAutoDefault(false);
  grid->addWidget(browse, 9, 2);
  layout->addWidget(company);
  auto* buttons = new QHBoxLayout;
  QPushButton* keepDefault = namedButton(QString::fromUtf8("Zapisz jako domyślne"), this);
  keepDefault->setAutoDefault(false);
  QPushButton* ok = namedButton("Ok", this);
  ok->setDefault(true);
  buttons->addWidget(keepDefault);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(browse, &QPushButton::clicked, this, &CDlgProjProp::chooseLogo);
  connect(keepDefault, &QPushButton::clicked, this, &CDlgProjProp::keepAsDefault);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CDlgProjProp::copyInto(CGraphicPlane& doc) const {
  std::string* targets[kFields] = {&doc.investor,       &doc.objectName,     &doc.projectNo,    &doc.projectDate,
                                   &doc.companyName,    &doc.companyAddress, &doc.companyPhone, &doc.companyEmail,
                                   &doc.companyWww,     &doc.companyLogo,    &doc.author};
  for (int i = 0; i < kFields; ++i) *targets[i] = fromQString(fields_[i]->text());
}

void CDlgProjProp::keepAsDefault() {
  s_.companyName = fromQString(fields_[4]->text());
  s_.companyAddress = fromQString(fields_[5]->text());
  s_.companyPhone = fromQString(fields_[6]->text());
  s_.companyEmail = fromQString(fields_[7]->text());
  s_.companyWww = fromQString(fields_[8]->text());
  s_.companyLogoFile = fromQString(fields_[9]->text());
  s_.authorName = fromQString(fields_[10]->text());
  if (!saveSettings(s_, platform::fileSys().dirPath(platform::UserDataDir)))
    platform::tell(cp("Nie można zapisać ustawień (wnd.ini)."), "Info!!", platform::MessageIcon::Error);
}

void CDlgProjProp::chooseLogo() {
  const QString current = fields_[9]->text();
  QFileDialog dlg(this, QString::fromUtf8("Plik z logiem firmy"),
                  current.isEmpty() ? QString() : QFileInfo(current).absolutePath(), "Bitmapa (*.bmp)");
  dlg.setObjectName("logoDialog");
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setOption(QFileDialog::ReadOnly);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setDefaultSuffix("bmp");
  dlg.selectFile("logo");
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
  fields_[9]->setText(QFileInfo(dlg.selectedFiles().front()).absoluteFilePath());
}

// --- multiplier and VAT ---------------------------------------------------------------------

CDlgPriceValue::CDlgPriceValue(Kind kind, float v, QWidget* parent) : QDialog(parent), value(v), kind_(kind) {
  const bool vat = kind == Kind::Vat;
  setWindowTitle(vat ? QString::fromUtf8("Ustawienia podatku VAT") : QString::fromUtf8("Ustawienia mnożnika"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(vat ? QString::fromUtf8("Wartość podatku VAT[%]:") : QString::fromUtf8("Mnożnik:"), this);
  edit_ = new QLineEdit(toQString(platform::formatG6(v)), this);
  edit_->setObjectName("edit1013");
  edit_->setAccessibleName(label->text());
  label->setBuddy(edit_);
  row->addWidget(label);
  row->addWidget(edit_);
  layout->addLayout(row);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* keepButton = namedButton("Zachowaj", this);
  keepButton->setDefault(true);
  QPushButton* ok = namedButton("OK", this);
  ok->setAutoDefault(false);
  buttons->addWidget(keepButton);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(keepButton, &QPushButton::clicked, this, [this] {
    if (!take()) return;
    keep = true;
    QDialog::accept();
  });
  connect(ok, &QPushButton::clicked, this, [this] {
    if (take()) QDialog::accept();
  });
}

bool CDlgPriceValue::take() {
  const std::optional<double> number = strictDecimalText(edit_->text());
  const double v = number.value_or(0);
  const bool vat = kind_ == Kind::Vat;
  // A multiplier of 0 would price everything at nothing; a rate outside 0 to
  // 100 % is no VAT rate.
  const bool valid = number && (vat ? v >= 0 && v <= 100 : v > 0 && v <= 1000);
  if (!valid) {
    platform::tell(cp(vat ? "Podaj stawkę VAT od 0 do 100 %." : "Podaj mnożnik większy od zera."),
                   fromQString(windowTitle()), platform::MessageIcon::Warning);
    edit_->setFocus();
    edit_->selectAll();
    return false;
  }
  value = static_cast<float>(v);
  return true;
}
