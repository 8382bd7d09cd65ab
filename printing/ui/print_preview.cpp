#include "printing/ui/print_preview.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "app/gui_pictures.h"
#include "document/app_state.h"
#include "document/graphic_plane.h"
#include "platform/qt_text.h"
#include "platform/message_sink.h"
#include "printing/print_job.h"
#include "printing/sheet_renderer.h"
#include "printing/ui/print_dialogs.h"

namespace {

// Grey around the sheet, and the room left around it.
const QColor kSurround(0x85, 0x85, 0x85);
constexpr int kRoom = 20;

enum PreviewCommand {
  kCmdPaperA4 = 32917,  // .. 32922 "Dowolny"
  kCmdLandscape = 32913,
  kCmdPortrait = 32914,
  kCmdPosition = 32915,
  kCmdMargins = 32916,
  kCmdPrintProject = 32842,
  kCmdBack = 32848,
  kCmdScaleDialog = 32841,
};

QToolButton* pictureButton(const QString& picture, const QString& tip, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setToolTip(tip);
  b->setAccessibleName(tip);
  b->setAutoRaise(true);
  const QImage composed = loadComposedPicture(picture + ".bmp", picture + "_m.bmp", parent->palette().button().color());
  if (composed.isNull())
    b->setText(tip);
  else
    b->setIcon(buttonIcon(composed));
  return b;
}

}  // namespace

// --- the sheet window --------------------------------------------------------------------------

CPrintPrevWnd::CPrintPrevWnd(CGraphicPlane& doc, PrintLayout& layout, const platform::Image* background,
                             QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), layout_(layout), background_(background),
      titleBlock_(loadTitleBlockPicture()) {
  setObjectName("previewSheet");
  setAccessibleName("Podglad wydruku");
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  scale_ = sheetPrintScale(doc, layout.printScale);
  updateRanges();
}

double CPrintPrevWnd::pixelsPerCm() const { return doc_.pixelsPerCm * zoom_; }

QPoint CPrintPrevWnd::sheetOrigin() const {
  const double p = pixelsPerCm();
  const int w = static_cast<int>(layout_.paperWidth * p);
  // A sheet narrower than the window stands in its middle.
  const int x = w + 2 * kRoom < viewport()->width() ? (viewport()->width() - w) / 2 : kRoom;
  return {x - horizontalScrollBar()->value(), kRoom - verticalScrollBar()->value()};
}

void CPrintPrevWnd::updateRanges() {
  const double p = pixelsPerCm();
  const int w = static_cast<int>(layout_.paperWidth * p) + 2 * kRoom;
  const int h = static_cast<int>(layout_.paperHeight * p) + 2 * kRoom;
  horizontalScrollBar()->setRange(0, std::max(0, w - viewport()->width()));
  verticalScrollBar()->setRange(0, std::max(0, h - viewport()->height()));
  for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
    bar->setSingleStep(10);
    bar->setPageStep(std::max(10, bar == horizontalScrollBar() ? viewport()->width() : viewport()->height()) / 2);
  }
}

void CPrintPrevWnd::setZoom(double z) {
  if (!(z > 0)) return;
  // The scroll positions keep their share of the ranges.
  QScrollBar* bars[] = {horizontalScrollBar(), verticalScrollBar()};
  double share[2];
  for (int i = 0; i < 2; ++i)
    share[i] = bars[i]->maximum() > 0 ? static_cast<double>(bars[i]->value()) / bars[i]->maximum() : 0.0;
  zoom_ = z;
  updateRanges();
  for (int i = 0; i < 2; ++i)
    bars[i]->setValue(z <= 1.01 ? 0 : static_cast<int>(std::lround(share[i] * bars[i]->maximum())));
  viewport()->update();
}

void CPrintPrevWnd::setScale(int n) {
  scale_ = std::clamp(n, 1, PrintLayout::kMaxPrintScale);
  viewport()->update();
}

void CPrintPrevWnd::paintSheetOn(QPainter& p) {
  p.fillRect(viewport()->rect(), kSurround);
  const double ppcm = pixelsPerCm();
  const int w = static_cast<int>(layout_.paperWidth * ppcm), h = static_cast<int>(layout_.paperHeight * ppcm);
  if (w <= 0 || h <= 0 || w > 200000 || h > 200000) return;
  p.save();
  p.translate(sheetOrigin());
  // A shadow under the paper, then the paper.
  p.fillRect(QRect(4, 4, w, h), QColor(0x60, 0x60, 0x60));
  p.fillRect(QRect(0, 0, w, h), Qt::white);
  p.setClipRect(QRect(0, 0, w, h));
  PrintRequest request;
  request.printScale = scale_;
  request.background = background_;
  request.titleBlock = &titleBlock_;
  paintSheet(p, ppcm * 2.54, doc_, layout_, request, true);
  p.restore();
}

void CPrintPrevWnd::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  paintSheetOn(p);
}

QImage CPrintPrevWnd::picture() {
  QImage image(viewport()->size(), QImage::Format_RGB32);
  QPainter p(&image);
  paintSheetOn(p);
  return image;
}

void CPrintPrevWnd::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  updateRanges();
}

void CPrintPrevWnd::scrollContentsBy(int, int) { viewport()->update(); }

void CPrintPrevWnd::wheelEvent(QWheelEvent* e) {
  // Each notch toward the user adds half of the zoom's unit; away takes it.
  const int notches = e->angleDelta().y() / 120;
  if (notches == 0) return;
  // (toward the user the wheel reports a negative turn)
  setZoom(std::clamp(zoom_ - 0.5 * notches, 0.1, 16.0));
  emit zoomChangedByWheel();
  e->accept();
}

// --- the toolbar ---------------------------------------------------------------------------------

const int CPPrevTool::kZoomPercent[13] = {10, 25, 50, 100, 150, 200, 250, 300, 350, 400, 600, 800, 1600};

CPPrevTool::CPPrevTool(QWidget* parent) : QToolBar(QString::fromUtf8("Podgląd"), parent) {
  setObjectName("previewTool");
  setAccessibleName(QString::fromUtf8("Podgląd"));
  setMovable(false);
  setIconSize({32, 32});
  zoomIn = pictureButton("loopa_plus", QString::fromUtf8("Powiększ widok"), this);
  zoomOut = pictureButton("loopa_minus", "Pomniejsz widok", this);
  zoomIn->setObjectName("ctl1007");
  zoomOut->setObjectName("ctl1008");
  addWidget(zoomIn);
  addWidget(zoomOut);
  auto label = [this](const QString& text) {
    auto* l = new QLabel(text, this);
    l->setContentsMargins(8, 0, 4, 0);
    addWidget(l);
    return l;
  };
  label("Zoom:")->setBuddy(zoomBox = new QComboBox(this));
  zoomBox->setObjectName("ctl1028");
  zoomBox->setToolTip(QString::fromUtf8("Powiększenie"));
  zoomBox->setAccessibleName("Zoom:");
  for (int p : kZoomPercent) zoomBox->addItem(QString("%1%").arg(p), p);
  zoomBox->setCurrentIndex(3);
  addWidget(zoomBox);
  label("Linie:");
  lines = new QSlider(Qt::Horizontal, this);
  lines->setObjectName("ctl1073");
  lines->setAccessibleName("Linie:");
  lines->setRange(1, 100);
  lines->setFixedWidth(110);
  addWidget(lines);
  label("Skala:");
  addWidget(new QLabel("1 :", this));
  scaleEdit = new QLineEdit(this);
  scaleEdit->setObjectName("ctl1013");
  scaleEdit->setAccessibleName("Skala:");
  scaleEdit->setFixedWidth(70);
  addWidget(scaleEdit);
  setScale = new QPushButton(QString::fromUtf8("Ustal skalę"), this);
  setScale->setObjectName("ctl1006");
  setScale->setToolTip(QString::fromUtf8("Zmienia skalę rysunku"));
  setScale->setAccessibleName(setScale->text());
  addWidget(setScale);
  addSeparator();
  auto check = [this](int id, const QString& text) {
    auto* c = new QCheckBox(text, this);
    c->setObjectName(QString("ctl%1").arg(id));
    c->setAccessibleName(text);
    addWidget(c);
    return c;
  };
  lawnFill = check(1002, QString::fromUtf8("Drukuj wypełnienie trawnika"));
  backgroundImage = check(1057, QString::fromUtf8("Drukuj podkład"));
  grid = check(1072, QString::fromUtf8("Drukuj siatkę"));
  addSeparator();
  label("Papier");
  paper = new QComboBox(this);
  paper->setObjectName("ctl1070");
  paper->setAccessibleName("Papier");
  for (const PaperSize& s : paperTable()) paper->addItem(QString::fromStdString(s.name));
  addWidget(paper);
  label(QString::fromUtf8("Układ"));
  orientation = new QComboBox(this);
  orientation->setObjectName("ctl1022");
  orientation->setAccessibleName(QString::fromUtf8("Układ"));
  orientation->addItems({"Poziomo", "Pionowo"});
  addWidget(orientation);
  position = new QPushButton("Pozycja planu", this);
  position->setObjectName("ctl1068");
  position->setAccessibleName(position->text());
  margins = new QPushButton("Marginesy", this);
  margins->setObjectName("ctl1075");
  margins->setAccessibleName(margins->text());
  addWidget(position);
  addWidget(margins);
  addSeparator();
  print = pictureButton("print", "Drukuj/Opcje drukowania", this);
  print->setObjectName("ctl1012");
  addWidget(print);
}

// --- the frame ------------------------------------------------------------------------------------

CPrintViewFrame::CPrintViewFrame(CGraphicPlane& doc, std::shared_ptr<const platform::Image> background,
                                 std::function<void(int)> print, QWidget* parent)
    : QMainWindow(parent, Qt::Window), doc_(doc), layout_(printLayout()), background_(std::move(background)),
      print_(std::move(print)) {
  setObjectName("printPreview");
  setWindowTitle(QString::fromUtf8("Pogląd wydruku"));
  setAttribute(Qt::WA_DeleteOnClose);
  // The first preview of a project prints at the drawing scale.
  layout_.ensurePrintScale(doc_.scaleDenominator);
  penFactorBefore_ = app().previewPenFactor;
  app().previewPenFactor = layout_.lineWidthPercent / 100.0f;
  statusBar()->showMessage(QString::fromUtf8("Gotów"));
  sheet_ = new CPrintPrevWnd(doc_, layout_, background_.get(), this);
  setCentralWidget(sheet_);
  buildTool();
  buildMenu();
  connect(sheet_, &CPrintPrevWnd::zoomChangedByWheel, this, [this] {
    statusBar()->showMessage(QString("%1%").arg(qRound(sheet_->zoom() * 100)));
  });
}

CPrintViewFrame::~CPrintViewFrame() { app().previewPenFactor = penFactorBefore_; }

QAction* CPrintViewFrame::command(int id) const {
  auto it = commands_.find(id);
  return it == commands_.end() ? nullptr : it->second;
}

void CPrintViewFrame::buildTool() {
  tool_ = new CPPrevTool(this);
  addToolBar(Qt::TopToolBarArea, tool_);
  settingUp_ = true;
  tool_->lines->setValue(std::clamp(layout_.lineWidthPercent, 1, 100));
  tool_->scaleEdit->setText(QString::number(sheet_->scale()));
  tool_->lawnFill->setChecked(layout_.printLawnFill);
  tool_->backgroundImage->setChecked(layout_.printBackground);
  tool_->grid->setChecked(layout_.printGrid);
  tool_->orientation->setCurrentIndex(layout_.portrait ? 1 : 0);
  const int paper = findPaper(std::max(layout_.paperWidth, layout_.paperHeight),
                              std::min(layout_.paperWidth, layout_.paperHeight));
  tool_->paper->setCurrentIndex(paper >= 0 ? paper : kPaperCustom);
  settingUp_ = false;

  CPPrevTool* t = tool_;
  connect(t->zoomIn, &QToolButton::clicked, this, [this] {
    const int i = tool_->zoomBox->currentIndex();
    if (i + 1 < tool_->zoomBox->count()) applyZoomPercent(tool_->zoomBox->itemData(i + 1).toInt());
  });
  connect(t->zoomOut, &QToolButton::clicked, this, [this] {
    const int i = tool_->zoomBox->currentIndex();
    if (i > 0) applyZoomPercent(tool_->zoomBox->itemData(i - 1).toInt());
  });
  connect(t->zoomBox, &QComboBox::activated, this,
          [this](int i) { applyZoomPercent(tool_->zoomBox->itemData(i).toInt()); });
  connect(t->lines, &QSlider::valueChanged, this, [this](int v) {
    // Only the preview's lines: the printed widths stay those of the preferences.
    app().previewPenFactor = v / 100.0f;
    layout_.lineWidthPercent = v;
    repaintSheet();
  });
  connect(t->setScale, &QPushButton::clicked, this, &CPrintViewFrame::takeScale);
  connect(t->scaleEdit, &QLineEdit::returnPressed, this, &CPrintViewFrame::takeScale);
  connect(t->lawnFill, &QCheckBox::toggled, this, [this](bool on) {
    layout_.printLawnFill = on;
    repaintSheet();
  });
  connect(t->backgroundImage, &QCheckBox::toggled, this, [this](bool on) {
    layout_.printBackground = on;
    repaintSheet();
  });
  connect(t->grid, &QCheckBox::toggled, this, [this](bool on) {
    layout_.printGrid = on;
    repaintSheet();
  });
  connect(t->paper, &QComboBox::activated, this, [this](int i) { choosePaper(i); });
  connect(t->orientation, &QComboBox::activated, this, [this](int i) { chooseOrientation(i == 1); });
  connect(t->position, &QPushButton::clicked, this, &CPrintViewFrame::planPosition);
  connect(t->margins, &QPushButton::clicked, this, &CPrintViewFrame::setMargins);
  connect(t->print, &QToolButton::clicked, this, &CPrintViewFrame::printSheet);
  applyZoomPercent(100);
}

void CPrintViewFrame::buildMenu() {
  auto add = [this](QMenu* menu, int id, const QString& text, const QKeySequence& key = {}) {
    auto* a = new QAction(text, this);
    a->setObjectName(QString("cmd%1").arg(id));
    if (!key.isEmpty()) a->setShortcut(key);
    if (menu) menu->addAction(a);
    else addAction(a);
    commands_[id] = a;
    return a;
  };
  QMenu* file = menuBar()->addMenu("&Plik");
  connect(add(file, kCmdPrintProject, "Drukuj projekt", QKeySequence("Ctrl+P")), &QAction::triggered, this,
          &CPrintViewFrame::printSheet);
  file->addSeparator();
  connect(add(file, kCmdBack, QString::fromUtf8("Powrót do projektu"), QKeySequence(Qt::Key_Escape)),
          &QAction::triggered, this, &QWidget::close);
  QMenu* papers = menuBar()->addMenu("Rozmiar papieru");
  auto* paperGroup = new QActionGroup(this);
  for (int i = 0; i < kPaperCount; ++i) {
    QAction* a = add(papers, kCmdPaperA4 + i, QString::fromStdString(paperTable()[static_cast<size_t>(i)].name));
    a->setCheckable(true);
    a->setActionGroup(paperGroup);
    connect(a, &QAction::triggered, this, [this, i] { choosePaper(i); });
  }
  QMenu* orientations = menuBar()->addMenu(QString::fromUtf8("Układ papieru"));
  auto* orientationGroup = new QActionGroup(this);
  for (auto [id, text, portrait] : {std::tuple{kCmdLandscape, "Poziomo", false}, {kCmdPortrait, "Pionowo", true}}) {
    QAction* a = add(orientations, id, QString::fromUtf8(text));
    a->setCheckable(true);
    a->setActionGroup(orientationGroup);
    connect(a, &QAction::triggered, this, [this, p = portrait] { chooseOrientation(p); });
  }
  QMenu* position = menuBar()->addMenu("Pozycja planu");
  connect(add(position, kCmdPosition, QString::fromUtf8("Ustal pozycję")), &QAction::triggered, this,
          &CPrintViewFrame::planPosition);
  QMenu* margins = menuBar()->addMenu("Marginesy");
  connect(add(margins, kCmdMargins, "Ustaw marginesy"), &QAction::triggered, this, &CPrintViewFrame::setMargins);
  connect(add(nullptr, kCmdScaleDialog, "Dodatkowe ustawienia wydruku"), &QAction::triggered, this,
          &CPrintViewFrame::askScale);
  syncChecks();
}

void CPrintViewFrame::syncChecks() {
  const int paper = tool_->paper->currentIndex();
  for (int i = 0; i < kPaperCount; ++i)
    if (QAction* a = command(kCmdPaperA4 + i)) a->setChecked(i == paper);
  if (QAction* a = command(kCmdLandscape)) a->setChecked(!layout_.portrait);
  if (QAction* a = command(kCmdPortrait)) a->setChecked(layout_.portrait);
}

void CPrintViewFrame::repaintSheet() { sheet_->viewport()->update(); }

void CPrintViewFrame::applyZoomPercent(int percent) {
  const int i = tool_->zoomBox->findData(percent);
  if (i >= 0) tool_->zoomBox->setCurrentIndex(i);
  sheet_->setZoom(percent / 100.0);
  statusBar()->showMessage(QString("%1%").arg(percent));
}

void CPrintViewFrame::choosePaper(int index, bool fromUser) {
  if (index < 0 || index >= kPaperCount) return;
  if (index == kPaperCustom && fromUser && !settingUp_) {
    CGetPaperSize dlg(layout_.paperWidth, layout_.paperHeight, this);
    if (dlg.exec() != QDialog::Accepted || !layout_.chooseCustomPaper(dlg.width, dlg.height)) {
      // Cancelled: the paper stays as it was.
      syncChecks();
      const int paper = findPaper(std::max(layout_.paperWidth, layout_.paperHeight),
                                  std::min(layout_.paperWidth, layout_.paperHeight));
      tool_->paper->setCurrentIndex(paper >= 0 ? paper : kPaperCustom);
      return;
    }
  } else {
    layout_.choosePaper(index);
  }
  tool_->paper->setCurrentIndex(index);
  syncChecks();
  sheet_->horizontalScrollBar()->setValue(0);
  sheet_->verticalScrollBar()->setValue(0);
  applyZoomPercent(layout_.previewZoom());
}

void CPrintViewFrame::chooseOrientation(bool portrait) {
  layout_.chooseOrientation(portrait);
  tool_->orientation->setCurrentIndex(portrait ? 1 : 0);
  syncChecks();
  applyZoomPercent(layout_.previewZoom());
}

void CPrintViewFrame::planPosition() {
  CDlgPlanePos dlg(layout_, this);
  dlg.exec();
  repaintSheet();
}

void CPrintViewFrame::setMargins() {
  CDlgGetMargins dlg(layout_, this);
  dlg.exec();
  repaintSheet();
}

void CPrintViewFrame::takeScale() {
  bool ok = false;
  const int n = tool_->scaleEdit->text().trimmed().toInt(&ok);
  if (!ok || n < 1 || n > PrintLayout::kMaxPrintScale) {
    platform::tell(platform::cp("Podaj skalę od 1 do 99999."), platform::cp("Pogląd wydruku"),
                   platform::MessageIcon::Warning);
    tool_->scaleEdit->setText(QString::number(sheet_->scale()));
    return;
  }
  layout_.printScale = n;
  sheet_->setScale(n);
}

void CPrintViewFrame::askScale() {
  CDlgPrintSetup dlg(sheet_->scale(), this);
  dlg.exec();
  if (dlg.scale < 1) return;
  layout_.printScale = dlg.scale;
  sheet_->setScale(dlg.scale);
  tool_->scaleEdit->setText(QString::number(dlg.scale));
}

void CPrintViewFrame::printSheet() {
  if (print_) print_(sheet_->scale());
}

void CPrintViewFrame::closeEvent(QCloseEvent* e) {
  emit closed();
  QMainWindow::closeEvent(e);
}
