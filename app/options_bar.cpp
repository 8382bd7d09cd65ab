#include "app/options_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include "app/gui_pictures.h"
#include "document/app_state.h"
#include "editing/ui/plan_view.h"
#include "sections/section_list.h"

const int CMainToolBar::kZoomPercent[14] = {10, 25, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1500};

namespace {

QString idName(int id) { return QString("ctl%1").arg(id); }

// A list that is filled just before it opens.
class RefreshedCombo : public QComboBox {
 public:
  RefreshedCombo(std::function<void()> refresh, QWidget* parent) : QComboBox(parent), refresh_(std::move(refresh)) {}
  void showPopup() override {
    refresh_();
    QComboBox::showPopup();
  }

 private:
  std::function<void()> refresh_;
};

}  // namespace

CMainToolBar::CMainToolBar(std::function<CProjWnd*()> view, QWidget* parent)
    : QToolBar(QString::fromUtf8("Opcje"), parent), view_(std::move(view)) {
  setObjectName("optionsBar");
  setAccessibleName("Opcje");
  setMovable(false);
  setIconSize({32, 32});

  addPictureButton(1009, "foldernew", "Nowy projekt", false);
  addPictureButton(1001, "folder", QString::fromUtf8("Otwórz projekt"), false);
  addPictureButton(1011, "foldersave", "Zapisz projekt", false);
  addPictureButton(1012, "print", "Drukuj/Opcje drukowania", false);
  addPictureButton(1006, "pprev", QString::fromUtf8("Podgląd wydruku"), false);
  addSeparator();
  addPictureButton(1005, "grid", QString::fromUtf8("Włącz/Wyłącz siatkę"), true);
  addPictureButton(1002, "grid2", QString::fromUtf8("Włącz/Wyłącz przyciąganie do siatki"), true);
  addPictureButton(1003, "ortho", QString::fromUtf8("Włącz/Wyłącz ORTO"), true);
  addSeparator();
  addPictureButton(1007, "loopa_plus", QString::fromUtf8("Powiększ widok"), false);
  addPictureButton(1008, "loopa_minus", "Pomniejsz widok", false);

  auto* zoomLabel = new QLabel("Zoom:", this);
  zoomLabel->setContentsMargins(6, 0, 4, 0);
  addWidget(zoomLabel);
  zoom_ = new QComboBox(this);
  zoom_->setObjectName(idName(1028));
  zoom_->setToolTip(QString::fromUtf8("Powiększenie"));
  // A list is named by the label before it; its tooltip describes it.
  zoom_->setAccessibleName("Zoom:");
  zoom_->setAccessibleDescription(QString::fromUtf8("Powiększenie"));
  for (int p : kZoomPercent) zoom_->addItem(QString("%1%").arg(p), p);
  zoom_->setCurrentIndex(3);
  zoom_->setFocusPolicy(Qt::TabFocus);
  zoomLabel->setBuddy(zoom_);
  addWidget(zoom_);
  connect(zoom_, &QComboBox::activated, this, [this] { applyZoom(); });

  auto* filterLabel = new QLabel("Edytuj", this);
  filterLabel->setContentsMargins(10, 0, 4, 0);
  addWidget(filterLabel);
  filter_ = new QComboBox(this);
  filter_->setObjectName(idName(1041));
  filter_->setToolTip("Selektywna edycja");
  filter_->setAccessibleName("Edytuj");
  filter_->setAccessibleDescription("Selektywna edycja");
  filter_->addItems({"Wszystko", "Teren", "System"});
  filter_->setFocusPolicy(Qt::TabFocus);
  filterLabel->setBuddy(filter_);
  addWidget(filter_);
  connect(filter_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (CProjWnd* v = view_()) v->setEditFilter(i);
  });
  addSeparator();

  addCheck(1025, "Wybierz z listy", QString::fromUtf8("Wybór obiektu z listy"));
  addCheck(1055, QString::fromUtf8("Ukryj tło"), QString::fromUtf8("Ukryj/Pokaż bitmapę"));
  addCheck(1021, QString::fromUtf8("Wypełnienie"), QString::fromUtf8("Włącz/Wyłącz wypełnienia"));
  addCheck(1020, "Punkty  kontrolne", QString::fromUtf8("Włącz/Wyłącz punkty kontrolne"));
  addCheck(1022, QString::fromUtf8("Zasięgi"), QString::fromUtf8("Włącz/Wyłącz zasięgi"));
  addCheck(1023, "Opisy", QString::fromUtf8("Włącz/Wyłącz opisy"));
  addCheck(1024, "Wydatki", QString::fromUtf8("Włącz/Wyłącz wydatki"));
  addSeparator();
  addCheck(1060, "Opad", QString::fromUtf8("Włącz/Wyłącz mapę opadu (mm/h) na terenie do nawadniania (Ctrl+M)"));
  coverageSection_ = new RefreshedCombo([this] { refreshCoverageSections(); }, this);
  coverageSection_->setObjectName("coverageSection");
  coverageSection_->setToolTip(QString::fromUtf8("Sekcja, której opad pokazuje mapa"));
  coverageSection_->setAccessibleName("Sekcja opadu");
  coverageSection_->setFocusPolicy(Qt::TabFocus);
  coverageSection_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  coverageSection_->addItem("Wszystkie sekcje", -1);
  addWidget(coverageSection_);
  connect(coverageSection_, &QComboBox::activated, this, [this] { applyCoverage(); });
  // The analysis itself on a bar of its own, which the frame places beside
  // the drawing tools (the options bar is full on a laptop's screen).
  coverageBar_ = new QToolBar("Analiza nawadniania", parent);
  coverageBar_->setObjectName("coverageBar");
  coverageBar_->setAccessibleName("Analiza nawadniania");
  coverageBar_->setMovable(false);
  auto* analysis = new QToolButton(coverageBar_);
  analysis->setObjectName(idName(1061));
  analysis->setText("Analiza nawadniania");
  analysis->setToolTip(QString::fromUtf8("Analiza nawadniania: opad, równomierność i czasy pracy sekcji (Ctrl+R)"));
  analysis->setAccessibleName("Analiza nawadniania");
  analysis->setAutoRaise(true);
  coverageBar_->addWidget(analysis);
  connect(analysis, &QToolButton::clicked, this, [this] { emit command(33011); });
  // The pipe network beside it: its map over the plan and its window.
  coverageBar_->addSeparator();
  auto* pressure = new QCheckBox(QString::fromUtf8("Ciśnienie"), coverageBar_);
  pressure->setObjectName(idName(1062));
  pressure->setToolTip(QString::fromUtf8("Włącz/Wyłącz mapę ciśnienia: prędkość wody w rurach i ciśnienie głowic (Ctrl+Shift+M)"));
  pressure->setAccessibleName(QString::fromUtf8("Ciśnienie"));
  pressure->setFocusPolicy(Qt::TabFocus);
  coverageBar_->addWidget(pressure);
  connect(pressure, &QCheckBox::toggled, this, [this](bool on) { switched(1062, on); });
  auto* network = new QToolButton(coverageBar_);
  network->setObjectName(idName(1063));
  network->setText(QString::fromUtf8("Analiza sieci"));
  network->setToolTip(QString::fromUtf8("Analiza hydrauliczna sieci: ciśnienie głowic, przepływ i prędkość w rurach, dobór średnic (Ctrl+H)"));
  network->setAccessibleName(QString::fromUtf8("Analiza hydrauliczna sieci"));
  network->setAutoRaise(true);
  coverageBar_->addWidget(network);
  connect(network, &QToolButton::clicked, this, [this] { emit command(33012); });

  connect(button(1009), &QToolButton::clicked, this, [this] { emit command(32771); });
  connect(button(1001), &QToolButton::clicked, this, [this] { emit command(32772); });
  connect(button(1011), &QToolButton::clicked, this, [this] { emit command(32773); });
  connect(button(1012), &QToolButton::clicked, this, [this] { emit command(32829); });
  connect(button(1006), &QToolButton::clicked, this, [this] { emit command(32828); });
  connect(button(1007), &QToolButton::clicked, this, [this] { zoomIn(); });
  connect(button(1008), &QToolButton::clicked, this, [this] { zoomOut(); });
  resetToolbar();
}

QToolButton* CMainToolBar::addPictureButton(int id, const QString& picture, const QString& tip, bool checkable) {
  auto* b = new QToolButton(this);
  b->setObjectName(idName(id));
  b->setToolTip(tip);
  b->setAccessibleName(tip);
  b->setCheckable(checkable);
  b->setAutoRaise(true);
  const QImage composed = loadComposedPicture(picture + ".bmp", picture + "_m.bmp", palette().button().color());
  if (composed.isNull())
    b->setText(tip);
  else
    b->setIcon(buttonIcon(composed));
  addWidget(b);
  if (checkable) connect(b, &QToolButton::toggled, this, [this, id](bool on) { switched(id, on); });
  return b;
}

QCheckBox* CMainToolBar::addCheck(int id, const QString& text, const QString& tip) {
  // The caption is shown with its spaces evened out; assistive technology
  // gets it as it is.
  auto* c = new QCheckBox(text.simplified(), this);
  c->setObjectName(idName(id));
  // A click leaves the keyboard with the plan; Tab still reaches the box.
  c->setFocusPolicy(Qt::TabFocus);
  c->setToolTip(tip);
  c->setAccessibleName(text);
  c->setAccessibleDescription(tip);
  addWidget(c);
  connect(c, &QCheckBox::toggled, this, [this, id](bool on) { switched(id, on); });
  return c;
}

QToolButton* CMainToolBar::button(int id) const {
  QToolButton* b = findChild<QToolButton*>(idName(id));
  return b ? b : coverageBar_->findChild<QToolButton*>(idName(id));
}
QCheckBox* CMainToolBar::checkBox(int id) const {
  QCheckBox* c = findChild<QCheckBox*>(idName(id));
  return c ? c : coverageBar_->findChild<QCheckBox*>(idName(id));
}

void CMainToolBar::switched(int id, bool on) {
  if (id == 1003) app().orthoOn = on;
  if (id == 1025) {
    // The box acts as a push button: it never stays checked.
    if (!on) return;
    QCheckBox* box = checkBox(1025);
    QSignalBlocker block(box);
    box->setChecked(false);
    if (view_() && app().projectOpen) emit objectListRequested();
    return;
  }
  if (id == 1060) {
    // The menu item follows the box, with a project or without.
    applyCoverage();
    emit coverageSwitched(on);
    return;
  }
  if (id == 1062) {
    if (CProjWnd* v = view_(); v && app().projectOpen) v->setNetworkShown(on);
    emit networkSwitched(on);
    return;
  }
  CProjWnd* v = view_();
  if (!v || !app().projectOpen) return;
  CGraphicPlane& doc = v->document();
  switch (id) {
    case 1005: v->setGridShown(on); break;
    case 1002: v->setSnapToGrid(on); return;
    case 1003: break;
    case 1055: v->setHideBackground(on); break;
    case 1021:
      doc.noFill = !on;
      break;
    case 1020: doc.showGrips = on; break;
    case 1022: doc.showCoverage = on; break;
    case 1023: doc.showLabels = on; break;
    case 1024: doc.showFlows = on; break;
    default: break;
  }
  v->refresh();
}

int CMainToolBar::coverageSection() const { return coverageSection_->currentData().toInt(); }

void CMainToolBar::refreshCoverageSections() {
  const int chosen = coverageSection();
  QSignalBlocker block(coverageSection_);
  coverageSection_->clear();
  coverageSection_->addItem("Wszystkie sekcje", -1);
  if (app().projectOpen)
    for (int i = 0; i < sectionList().count(); ++i) coverageSection_->addItem(QString("Sekcja %1").arg(i + 1), i);
  const int at = coverageSection_->findData(chosen);
  coverageSection_->setCurrentIndex(at < 0 ? 0 : at);
}

void CMainToolBar::applyCoverage() {
  QCheckBox* box = checkBox(1060);
  coverageSection_->setEnabled(box->isChecked());
  if (CProjWnd* v = view_(); v && app().projectOpen) v->setCoverageShown(box->isChecked(), coverageSection());
}

void CMainToolBar::showCoverage(int section) {
  refreshCoverageSections();
  const int at = coverageSection_->findData(section);
  coverageSection_->setCurrentIndex(at < 0 ? 0 : at);
  QCheckBox* box = checkBox(1060);
  if (box->isChecked())
    applyCoverage();
  else
    box->setChecked(true);
}

void CMainToolBar::resetToolbar() {
  const std::pair<int, bool> buttons[] = {{1005, true}, {1002, false}, {1003, false}};
  for (auto [id, on] : buttons) button(id)->setChecked(on);
  const std::pair<int, bool> checks[] = {{1055, false}, {1020, true}, {1021, true}, {1022, true},
                                         {1023, true},  {1024, false}, {1060, false}, {1062, false}};
  for (auto [id, on] : checks) checkBox(id)->setChecked(on);
  refreshCoverageSections();
  coverageSection_->setCurrentIndex(0);
  coverageSection_->setEnabled(false);
  app().orthoOn = 0;
}

void CMainToolBar::resetZoom() {
  zoom_->setCurrentIndex(3);
  applyZoom();
  if (CProjWnd* v = view_()) v->resetOrigin();
}

void CMainToolBar::zoomIn() {
  CProjWnd* v = view_();
  if (!v || !app().projectOpen || v->document().tool == 90) return;
  if (zoom_->currentIndex() >= zoom_->count() - 1) return;
  zoom_->setCurrentIndex(zoom_->currentIndex() + 1);
  applyZoom();
}

void CMainToolBar::zoomOut() {
  CProjWnd* v = view_();
  if (!v || !app().projectOpen || v->document().tool == 90) return;
  if (zoom_->currentIndex() <= 0) return;
  zoom_->setCurrentIndex(zoom_->currentIndex() - 1);
  applyZoom();
}

void CMainToolBar::applyZoom() {
  CProjWnd* v = view_();
  if (!v || !app().projectOpen || v->document().tool == 90) return;
  const double z = static_cast<float>(zoom_->currentData().toInt() * 0.01f);
  v->applyZoom(z);
}

void CMainToolBar::setOrthoButton(bool on) {
  QSignalBlocker block(button(1003));
  button(1003)->setChecked(on);
}

void CMainToolBar::setGridButton(bool on) {
  QSignalBlocker block(button(1005));
  button(1005)->setChecked(on);
}

bool CMainToolBar::isSnapChecked() const { return button(1002)->isChecked(); }

void CMainToolBar::selectAllFilter() {
  filter_->setCurrentIndex(0);
  if (CProjWnd* v = view_()) v->setEditFilter(0);
}
