#include "editing/ui/background_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "app/small_dialogs.h"
#include "document/graphic_plane.h"
#include "editing/background_scale.h"
#include "editing/ui/plan_view.h"
#include "platform/file_sys.h"
#include "platform/message_sink.h"
#include "platform/qt_text.h"

using platform::cp;

namespace {

QLineEdit* readOnlyEdit(const QString& name, const QString& accessible, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setReadOnly(true);
  e->setAccessibleName(accessible);
  return e;
}

}  // namespace

// --- insert dialog ---------------------------------------------------------------------------

CBmpProp::CBmpProp(const CGraphicPlane& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(QString::fromUtf8("Właściwości wstawiania bitmapy"));
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);
  auto* fileRow = new QHBoxLayout;
  QPushButton* locate = namedButton("Lokalizuj", this);
  file_ = readOnlyEdit("edit1018", "Plik bitmapy", this);
  file_->setMinimumWidth(360);
  file_->setText(doc.hasBackground ? QString::fromStdString(doc.backgroundFile) : QString("........Nie.wybrano......."));
  fileRow->addWidget(locate);
  fileRow->addWidget(file_, 1);
  layout->addLayout(fileRow);

  auto* group = new QGroupBox("Parametry skali", this);
  auto* grid = new QGridLayout(group);
  auto* scaleLabel = new QLabel("Skala rysunku:", group);
  scale_ = new QLineEdit("100", group);
  scale_->setObjectName("edit1020");
  scale_->setAccessibleName(scaleLabel->text());
  scale_->setMaximumWidth(90);
  scaleLabel->setBuddy(scale_);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(scaleLabel);
  scaleRow->addWidget(new QLabel("1:", group));
  scaleRow->addWidget(scale_);
  scaleRow->addStretch(1);
  grid->addLayout(scaleRow, 0, 0);
  fromSegment_ = new QCheckBox(QString::fromUtf8("Skaluj na podstawie zaznaczonego odcinka i odległości"), group);
  fromSegment_->setObjectName("check1002");
  fromSegment_->setAccessibleName(fromSegment_->text());
  grid->addWidget(fromSegment_, 1, 0);
  layout->addWidget(group);
  addDialogButtons(this, layout, "Wstaw", "Anuluj");
  connect(locate, &QPushButton::clicked, this, &CBmpProp::locate);
}

void CBmpProp::locate() {
  if (doc_.hasBackground) {
    const platform::MessageAnswer a = platform::messages().show(
        {"Bitmapa juz jest w projekcje!! Zmienic ja ??", "Info!!!", platform::MessageIcon::Question,
         platform::MessageButtons::OkCancel});
    if (a != platform::MessageAnswer::Ok) return;
  }
  // Where the present image lies, else the projects folder.
  const QString folder = doc_.hasBackground && !doc_.backgroundFile.empty() &&
                                 doc_.backgroundFile != doc_.backgroundTempFile
                             ? QFileInfo(QString::fromStdString(doc_.backgroundFile)).absolutePath()
                             : QString::fromStdString(platform::fileSys().dirPath(platform::UserProjectsDir));
  QFileDialog dlg(this, "Lokalizuj", folder,
                  "Wszystkie formaty (*.bmp *.png *.jpg *.jpeg *.tif);;Bitmapa (*.bmp);;Bitmapa png(*.png);;"
                  "Bitmapa jpg(*.jpg);;Bitmapa jpeg(*.jpeg);;Bitmapa tif(*.tif)");
  dlg.setObjectName("imageDialog");
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setOption(QFileDialog::ReadOnly);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
  chosenPath = QFileInfo(dlg.selectedFiles().front()).absoluteFilePath();
  chosenTitle = QFileInfo(chosenPath).fileName();
  chosen = true;
  file_->setText(chosenPath);
}

void CBmpProp::accept() {
  if (!chosen) {
    QDialog::reject();
    return;
  }
  scaleDenominator = parseUnsignedText(platform::fromQString(scale_->text()));
  if (scaleDenominator == 0) {
    // A plan of scale 1:0 has no size on the ground.
    platform::tell(cp("Podaj skalę rysunku większą od zera."), cp("Właściwości wstawiania bitmapy"),
                   platform::MessageIcon::Warning);
    scale_->setFocus();
    scale_->selectAll();
    return;
  }
  scaleFromSegment = fromSegment_->isChecked();
  QDialog::accept();
}

// --- scaling dialog ------------------------------------------------------------------------

CDlgScale::CDlgScale(CProjWnd& view, std::function<void()> resetZoom)
    : QDialog(&view), view_(view), resetZoom_(std::move(resetZoom)) {
  setWindowTitle("Skalowanie");
  setAccessibleName(windowTitle());
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto* tools = new QButtonGroup(this);
  twoPoints_ = namedButton("Wybierz 2 punkty na rysunku.", this);
  frameTool_ = namedButton("Zaznacz odcinek bazowy na rysunku.", this);
  int row = 0;
  for (QPushButton* b : {twoPoints_, frameTool_}) {
    b->setCheckable(true);
    b->setAutoDefault(false);
    tools->addButton(b);
  }
  grid->addWidget(twoPoints_, row++, 0, 1, 3);
  auto* pointsLabel = new QLabel(QString::fromUtf8("Odległość pomiędzy punktami"), this);
  points_ = readOnlyEdit("edit1014", pointsLabel->text(), this);
  grid->addWidget(pointsLabel, row, 0);
  grid->addWidget(points_, row, 1);
  grid->addWidget(new QLabel("w pikselach", this), row++, 2);
  grid->addWidget(frameTool_, row++, 0, 1, 3);
  auto* segmentLabel = new QLabel(QString::fromUtf8("Długość odcinka bazowego"), this);
  segment_ = readOnlyEdit("edit1015", segmentLabel->text(), this);
  grid->addWidget(segmentLabel, row, 0);
  grid->addWidget(segment_, row, 1);
  grid->addWidget(new QLabel("w pikselach", this), row++, 2);
  auto* metresLabel = new QLabel(QString::fromUtf8("Wpisz odległość w metrach"), this);
  metres_ = new QLineEdit("0", this);
  metres_->setObjectName("edit1013");
  metres_->setAccessibleName(metresLabel->text());
  metres_->setMaxLength(9);
  metresLabel->setBuddy(metres_);
  grid->addWidget(metresLabel, row, 0);
  grid->addWidget(metres_, row++, 1);
  layout->addLayout(grid);

  QPushButton* scaleButton = namedButton("Skaluj", this);
  scaleButton->setDefault(true);
  layout->addWidget(scaleButton, 0, Qt::AlignRight);
  auto* group = new QGroupBox("Wyliczona skala rysunku", this);
  auto* resultRow = new QHBoxLayout(group);
  result_ = readOnlyEdit("edit1042", group->title(), group);
  resultRow->addWidget(new QLabel("1:", group));
  resultRow->addWidget(result_, 1);
  layout->addWidget(group);
  QPushButton* use = namedButton(QString::fromUtf8("Użyj wyliczoną skalę"), this);
  use->setAutoDefault(false);
  layout->addWidget(use);

  connect(twoPoints_, &QPushButton::clicked, this, [this] { chooseTool(kToolTwoPoints); });
  connect(frameTool_, &QPushButton::clicked, this, [this] { chooseTool(kToolBaseSegment); });
  connect(scaleButton, &QPushButton::clicked, this, &CDlgScale::scale);
  connect(use, &QPushButton::clicked, this, &CDlgScale::finish);

  PlanEditor& editor = view_.editor();
  editor.onTwoPointsMeasured = [this](int d) { points_->setText(QString::number(d)); };
  editor.onBaseSegmentMeasured = [this](int n) { segment_->setText(QString::number(n)); };

  twoPoints_->setChecked(true);
  view_.cancelTool();
  view_.setTool(kToolTwoPoints);
  view_.document().toolKind = 1000;
  if (resetZoom_) resetZoom_();
  view_.document().scaleDialogOpen = 1;
  view_.refresh();
}

CDlgScale::~CDlgScale() {
  PlanEditor& editor = view_.editor();
  editor.onTwoPointsMeasured = nullptr;
  editor.onBaseSegmentMeasured = nullptr;
}

void CDlgScale::chooseTool(int tool) {
  view_.cancelTool();
  view_.setTool(tool);
  view_.document().toolKind = 1000;
  if (tool == kToolBaseSegment) {
    // The scale bar is measured in the image's own pixels.
    if (resetZoom_) resetZoom_();
    view_.refresh();
  }
}

void CDlgScale::scale() {
  const QLineEdit* measured = frameTool_->isChecked() ? segment_ : points_;
  const int pixels = measured->text().trimmed().toInt();
  const double metres = metresText(platform::fromQString(metres_->text()));
  CGraphicPlane& doc = view_.document();
  const std::optional<double> n = scaleFromSegment(pixels, doc.pixelsPerCm, metres);
  if (!n) {
    // A scale of 1:0 (or below) would leave the plan without a size.
    platform::tell(cp(pixels <= 0 ? "Najpierw zmierz odcinek na rysunku." : "Wpisz odległość w metrach większą od zera."),
                   "Skalowanie", platform::MessageIcon::Warning);
    if (pixels > 0) {
      metres_->setFocus();
      metres_->selectAll();
    }
    return;
  }
  doc.scaleDenominator = static_cast<float>(*n);
  result_->setText(QString::number(static_cast<long long>(std::floor(doc.scaleDenominator))));
  view_.refresh();
  emit scaleChanged();
}

void CDlgScale::finish() {
  if (finished_) return;
  finished_ = true;
  view_.cancelTool();
  view_.setTool(kToolNone);
  view_.document().toolKind = 1000;
  if (resetZoom_) resetZoom_();
  view_.document().scaleDialogOpen = 0;
  view_.refresh();
  hide();
  deleteLater();
}

void CDlgScale::closeEvent(QCloseEvent* e) {
  // However it is closed, the scaling tools end with it.
  finish();
  e->accept();
}

void CDlgScale::reject() { finish(); }
