#include "app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QFileInfo>
#include <QLabel>
#include <QCheckBox>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/gui_pictures.h"
#include "app/object_dialogs.h"
#include "app/calculation_dialogs.h"
#include "app/coverage_dialog.h"
#include "app/network_dialog.h"
#include "app/zoning_dialog.h"
#include "app/layout_dialog.h"
#include "app/routing_dialog.h"
#include "app/design_dialog.h"
#include "platform/numtext.h"
#include "hydraulics/coverage.h"
#include "sections/section_list.h"
#include "app/options_bar.h"
#include "printing/ui/print_dialogs.h"
#include "printing/ui/print_preview.h"
#include "app/palette.h"
#include "app/section_dialog.h"
#include "app/set_dialogs.h"
#include "app/settings_dialogs.h"
#include "app/small_dialogs.h"
#include "app/splash_view.h"
#include "document/registry_values.h"
#include "document/settings_file.h"
#include "editing/ui/background_dialogs.h"
#include "editing/ui/plan_view.h"
#include "editing/ui/transform_dialog.h"
#include "hydraulics/system_parameters.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/text_dimension.h"
#include "platform/canvas_qpainter.h"
#include "platform/file_sys.h"
#include "platform/message_sink.h"
#include "platform/qt_text.h"
#include "platform/shell.h"
#include "printing/print_job.h"
#include "sections/extra_elements.h"
#include "startup/application.h"

using platform::cp;
using platform::toQString;

namespace {

// A window of which one at a time stands comes forward when asked again;
// false when none is open.
bool bringForward(QWidget* w) {
  if (!w) return false;
  w->raise();
  w->activateWindow();
  return true;
}

constexpr int kTitleLimit = 254;
const char* const kTitleBase = "VERDIMO ver. 4.2";

QString projectsFolder() { return QString::fromStdString(platform::fileSys().dirPath(platform::UserProjectsDir)); }

// A command whose window comes later is shown but cannot be chosen yet.
struct DrawingButton {
  int id;
  const char* tip;
  bool checkable;
  int image;
  bool available;
};

constexpr DrawingButton kDrawingButtons[] = {
    {kCmdCircle, "Rysuj okrąg", true, 0, true},
    {kCmdEllipse, "Rysuj elipsę", true, 1, true},
    {kCmdRectangle, "Rysuj prostokąt", true, 2, true},
    {kCmdArea, "Rysuj obszar", true, 3, true},
    {kCmdPolyline, "Rysuj łamaną", true, 4, true},
    {kCmdText, "Wstaw tekst", true, 6, true},
    {kCmdRaster, "Wstaw obraz rastrowy", false, 7, true},
    {kCmdDimension, "Wymiaruj", true, 8, true},
    {kCmdPan, "Przesuń plan", true, 10, true},
    {kCmdEdit, "Edytuj obiekt", true, 11, true},
    {kCmdSelect, "Zaznacz obiekt", true, 12, true},
    {0, nullptr, false, -1, false},
    {kCmdToolUndo, "Cofnij", false, 13, true},
    {kCmdToolRedo, "Ponów", false, 14, true},
    {0, nullptr, false, -1, false},
    {kCmdSections, "Podział systemu na sekcje", false, 15, true},
    {kCmdSystemParameters, "Parametry hydrauliczne systemu", false, 16, true},
};

struct FillButton {
  int id;
  const char* tip;
  int kind;
};

constexpr FillButton kFillButtons[] = {
    {11130, "Budynek", kFillBuilding}, {11160, "Nawierzchnia utwardzona", kFillPaving},
    {11120, "Oczko wodne/basen", kFillWater}, {11100, "Trawnik", kFillLawn},
    {11110, "Żywopłot", kFillHedge}, {11140, "Drzewo/Krzew", kFillTrees},
    {11150, "Kwiaty", kFillFlowers}, {11170, "Inne", kFillOther},
};

// The commands whose pressed state the drawing toolbar shows.
constexpr int kPressable[] = {kCmdCircle, kCmdRectangle, kCmdArea, kCmdEllipse, kCmdPolyline,
                              kCmdText,   kCmdDimension, kCmdEdit, kCmdSelect,  kCmdPan};

}  // namespace

CMainFrame::CMainFrame() {
  setObjectName("mainFrame");
  updateTitle();
  const QString icon = QString::fromStdString(platform::fileSys().filePath(platform::GuiDir, "verdimo.png"));
  if (QFileInfo::exists(icon)) setWindowIcon(QIcon(icon));
  centre_ = new QStackedWidget(this);
  splash_ = new CChildView(centre_);
  centre_->addWidget(splash_);
  setCentralWidget(centre_);
  buildMenus();
  buildToolbars();
  buildStatusBar();
  timer_ = new QTimer(this);
  timer_->setObjectName("timer275");
  timer_->setInterval(500);
  connect(timer_, &QTimer::timeout, this, &CMainFrame::autosaveTick);
  timer_->start();
  app().projectOpen = 0;
  updateCommandStates();
}

CMainFrame::~CMainFrame() {
  timer_->stop();
  releaseProject();
  undo_.clearAll();
}

QAction* CMainFrame::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& text, const QKeySequence& key, bool available) {
  auto* a = new QAction(text, this);
  a->setObjectName(QString("cmd%1").arg(id));
  if (!key.isEmpty()) a->setShortcut(key);
  a->setEnabled(available);
  a->setProperty("available", available);
  if (menu) menu->addAction(a);
  actions_[id] = a;
  connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
  return a;
}

void CMainFrame::buildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu("&Plik");
  addCommand(file, kCmdNew, "Nowy projekt", QKeySequence("Ctrl+N"));
  addCommand(file, kCmdOpen, QString::fromUtf8("Otwórz"), QKeySequence("Ctrl+O"));
  addCommand(file, kCmdSave, "Zapisz", QKeySequence("Ctrl+S"));
  addCommand(file, kCmdSaveAs, "Zapisz jako", QKeySequence("Ctrl+D"));
  addCommand(file, kCmdClose, "Zamknij", QKeySequence("Ctrl+Q"));
  file->addSeparator();
  addCommand(file, kCmdPrintPreview, QString::fromUtf8("Pogląd wydruku"), QKeySequence("Ctrl+G"));
  addCommand(file, kCmdPrint, "Drukuj", QKeySequence("Ctrl+F"));
  file->addSeparator();
  addCommand(file, kCmdProperties, QString::fromUtf8("Właściwości"), QKeySequence("Ctrl+I"));
  file->addSeparator();
  addCommand(file, kCmdExit, QString::fromUtf8("Wyjście"), QKeySequence("Alt+X"));

  QMenu* viewMenu = bar->addMenu("&Widok");
  QAction* status = addCommand(viewMenu, kCmdStatusBar, "&Pasek statusu");
  status->setCheckable(true);
  status->setChecked(true);
  QAction* map = addCommand(viewMenu, kCmdCoverageMap, "Mapa opadu", QKeySequence("Ctrl+M"));
  map->setCheckable(true);
  QAction* pressureMap = addCommand(viewMenu, kCmdNetworkMap, QString::fromUtf8("Mapa ciśnienia"), QKeySequence("Ctrl+Shift+M"));
  pressureMap->setCheckable(true);

  QMenu* settings = bar->addMenu("Ustawienia");
  addCommand(settings, kCmdPreferences, "Preferencje");
  addCommand(settings, kCmdGrid, "Ustawienia siatki");

  QMenu* base = bar->addMenu(QString::fromUtf8("Baza elementów"));
  addCommand(base, kCmdBrowse, QString::fromUtf8("Przeglądaj"), QKeySequence("Ctrl+P"));
  addCommand(base, kCmdSets, "Zestawy", QKeySequence("Ctrl+1"));

  QMenu* design = bar->addMenu("Projektowanie");
  addCommand(design, kCmdLayOutSelected, QString::fromUtf8("Rozmieść zraszacze w zaznaczonym obszarze"),
             QKeySequence("Ctrl+Shift+L"));
  addCommand(design, kCmdAutoZonesMenu, "Podziel na sekcje automatycznie");
  addCommand(design, kCmdRoutePipes, QString::fromUtf8("Poprowadź rury"));
  design->addSeparator();
  addCommand(design, kCmdDesign, "Zaprojektuj automatycznie");

  QMenu* reportsMenu = bar->addMenu("Raporty");
  QMenu* prices = reportsMenu->addMenu("Ustawienia");
  addCommand(prices, kCmdMultiplier, QString::fromUtf8("Ceny - mnożnik"));
  addCommand(prices, kCmdVat, "Ceny - podatek VAT");
  QMenu* sections = reportsMenu->addMenu("Kosztorys z podziałem na sekcje");
  addCommand(sections, kCmdExtraElements, "Dodaj do raportu elementy z bazy danych");
  addCommand(sections, kCmdSectionsOpen, QString::fromUtf8("Otwórz w MS Word"));
  addCommand(sections, kCmdSectionsSave, QString::fromUtf8("Zapisz raport elementów"));
  addCommand(sections, kCmdSectionsPrint, QString::fromUtf8("Drukuj raport elementów"));
  sections->addSeparator();
  addCommand(sections, kCmdSectionsCsv, "Eksportuj CSV");
  addCommand(sections, kCmdSectionsPdf, "Eksportuj PDF");
  QMenu* summary = reportsMenu->addMenu("Kosztorys zbiorczy");
  addCommand(summary, kCmdSummaryOpen, QString::fromUtf8("Otwórz w MS Word"));
  addCommand(summary, kCmdSummarySave, QString::fromUtf8("Zapisz raport elementów"));
  addCommand(summary, kCmdSummaryPrint, QString::fromUtf8("Drukuj raport elementów "));
  summary->addSeparator();
  addCommand(summary, kCmdSummaryCsv, "Eksportuj CSV");
  addCommand(summary, kCmdSummaryPdf, "Eksportuj PDF");
  QMenu* info = reportsMenu->addMenu("Informacje o projekcie");
  addCommand(info, kCmdInfoOpen, QString::fromUtf8("Otwórz w MS Word"));
  addCommand(info, kCmdInfoSave, "Zapisz ");
  addCommand(info, kCmdInfoPrint, "Drukuj");
  info->addSeparator();
  addCommand(info, kCmdInfoPdf, "Eksportuj PDF");
  reportsMenu->addSeparator();
  addCommand(reportsMenu, kCmdCoverageAnalysis, "Analiza nawadniania", QKeySequence("Ctrl+R"));
  addCommand(reportsMenu, kCmdNetworkAnalysis, QString::fromUtf8("Analiza hydrauliczna sieci"), QKeySequence("Ctrl+H"));

  QMenu* help = bar->addMenu("&Pomoc");
  addCommand(help, kCmdHelp, "Pomoc", QKeySequence::HelpContents);
  addCommand(help, kCmdAbout, "&O programie...");

  // Keys without a menu item: undo and redo as the frame has them, and as
  // Qt applications have them.
  QAction* undo = addCommand(nullptr, kCmdUndo, "Cofnij");
  undo->setShortcuts({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")});
  QAction* redo = addCommand(nullptr, kCmdRedo, QString::fromUtf8("Ponów"));
  redo->setShortcuts({QKeySequence("Ctrl+A"), QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
  addAction(undo);
  addAction(redo);
  for (auto& [id, a] : actions_) a->setShortcutContext(Qt::WindowShortcut);
}

void CMainFrame::buildToolbars() {
  options_ = new CMainToolBar([this] { return view_; }, this);
  addToolBar(Qt::TopToolBarArea, options_);
  connect(options_, &CMainToolBar::command, this, &CMainFrame::runCommand);
  connect(options_, &CMainToolBar::objectListRequested, this, &CMainFrame::objectList);
  connect(options_, &CMainToolBar::coverageSwitched, this, [this](bool on) {
    if (QAction* a = action(kCmdCoverageMap)) a->setChecked(on);
  });
  connect(options_, &CMainToolBar::networkSwitched, this, [this](bool on) {
    if (QAction* a = action(kCmdNetworkMap)) a->setChecked(on);
  });

  addToolBarBreak(Qt::TopToolBarArea);

  const QColor face = palette().button().color();
  auto* drawing = new QToolBar(QString::fromUtf8("Rysowanie"), this);
  drawing->setObjectName("drawingToolbar");
  drawing->setIconSize({25, 25});
  const auto images = cutStrip(loadComposedPicture("toolbar1a.bmp", "toolbar1amask.bmp", face), 25, 17);
  for (const DrawingButton& b : kDrawingButtons) {
    if (!b.tip) {
      drawing->addSeparator();
      continue;
    }
    const QString tip = QString::fromUtf8(b.tip);
    QAction* a = addCommand(nullptr, b.id, tip, {}, b.available);
    a->setToolTip(tip);
    a->setStatusTip(tip);
    a->setCheckable(b.checkable);
    if (b.image >= 0 && !images[static_cast<size_t>(b.image)].isNull())
      a->setIcon(buttonIcon(images[static_cast<size_t>(b.image)]));
    drawing->addAction(a);
    if (QWidget* w = drawing->widgetForAction(a)) w->setAccessibleName(tip);
  }
  addToolBar(Qt::TopToolBarArea, drawing);
  // The watering analysis beside the drawing tools.
  addToolBar(Qt::TopToolBarArea, options_->coverageBar());

  auto* fills = new QToolBar(QString::fromUtf8("Wypełnienia"), this);
  fills->setObjectName("fillToolbar");
  fills->setIconSize({32, 32});
  const auto fillImages = cutStrip(loadComposedPicture("toolbar2.bmp", "toolbar2mask.bmp", face), 32, 8);
  fillGroup_ = new QActionGroup(this);
  fillGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (size_t i = 0; i < std::size(kFillButtons); ++i) {
    const FillButton& b = kFillButtons[i];
    const QString tip = QString::fromUtf8(b.tip);
    QAction* a = addCommand(nullptr, b.id, tip);
    a->setToolTip(tip);
    a->setCheckable(true);
    a->setActionGroup(fillGroup_);
    if (!fillImages[i].isNull()) a->setIcon(buttonIcon(fillImages[i]));
    fills->addAction(a);
    if (QWidget* w = fills->widgetForAction(a)) w->setAccessibleName(tip);
  }
  addToolBar(Qt::LeftToolBarArea, fills);

  palette_ = new CPlovSysToolbar(application().catalogue, application().sets.get());
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(palette_);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMinimumWidth(palette_->sizeHint().width() + 24);
  palette_->setDragBar(scroll->verticalScrollBar());
  palette_->followHeightOf(scroll->viewport());
  auto* dock = new QDockWidget(QString::fromUtf8("Elementy systemu"), this);
  dock->setObjectName("paletteDock");
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  dock->setWidget(scroll);
  addDockWidget(Qt::RightDockWidgetArea, dock);
  connect(palette_, &CPlovSysToolbar::toolRequested, this, &CMainFrame::paletteTool);
  connect(palette_, &CPlovSysToolbar::dialogRequested, this, &CMainFrame::paletteDialog);
  connect(palette_, &CPlovSysToolbar::rotaryNozzlesRequested, this, [this] {
    CElem* body = palette_->choice().rotaryBody;
    if (!body) return;
    CDlgNozzle dlg(body, 0, this);
    dlg.exec();
    palette_->setRotaryNozzleRow(dlg.row());
  });
  connect(palette_, &CPlovSysToolbar::staticNozzleRequested, this, [this] {
    // The list, then the chosen nozzle's parameters; "Anuluj" there goes
    // back to the list, cancelling the list changes nothing.
    for (;;) {
      CDlgStaticNozzles list(this);
      if (list.exec() != QDialog::Accepted || !list.chosen()) return;
      CDlgNozzleParams params(list.chosen(), this);
      if (params.exec() == QDialog::Accepted) {
        palette_->setStaticNozzle(list.chosen());
        return;
      }
    }
  });
  connect(palette_, &CPlovSysToolbar::insertNozzlesRequested, this, [this] {
    CElem* insert = palette_->choice().hadarInsert;
    if (!insert) return;
    std::unique_ptr<CDlgNozzle> dlg(CDlgNozzle::forInsert(insert, 0, this));
    dlg->exec();
    palette_->setInsertNozzleRow(dlg->row());
  });
}

void CMainFrame::paletteTool(int buttonId, int tool) {
  (void)buttonId;
  if (!view_) {
    clearToolButtons();
    palette_->releasePaletteButtons();
    return;
  }
  CGraphicPlane& doc = view_->document();
  if (doc.scaleDialogOpen) {
    // The scaling dialog holds the plan's tool until it closes.
    palette_->releasePaletteButtons();
    return;
  }
  const PaletteChoice& c = palette_->choice();
  auto refuse = [&](const char* text) {
    platform::tell(cp(text), "Info");
    view_->cancelTool();
    view_->setTool(kToolNone);
    palette_->releasePaletteButtons();
  };
  const bool needsSource = tool == kTypeSprinkler || tool == kTypeStaticSprinkler || tool == kTypeMicroHadar ||
                           tool == kTypeDripline || tool == kTypeRws;
  if (needsSource && !doc.hasWaterSource) return refuse("Nie wstawiono źródła wody !!!");
  if (tool == kTypeStaticSprinkler && c.staticBody && !c.staticNozzle) return refuse("Najpierw wybierz dyszę !!!");
  if (tool == kTypeSet && (!application().sets || c.setId == 0))
    return refuse("Brak zestawów połączeniowych. Zestaw tworzy się w oknie \"Zestawy\".");
  // A kind the catalogue has no element of cannot be placed.
  const bool empty = (tool == kTypeSprinkler && !c.rotaryBody) || (tool == kTypeStaticSprinkler && !c.staticBody) ||
                     (tool == kTypeMicroSprinkler && !c.microElem) || (tool == kTypeMicroHadar && (!c.hadarBase || !c.hadarInsert)) ||
                     (tool == kTypeRws && !c.rwsElem) || (tool == kTypeDripline && !c.dripLineType) ||
                     (tool == kTypeValveBox && !c.valveBoxElem) || (tool == kTypeValve && !c.valveElem) ||
                     (tool == kTypeController && !c.controllerElem) || (tool == kTypeRainSensor && !c.sensorElem);
  if (empty) return refuse("W bazie danych nie ma elementów tego rodzaju.");
  view_->cancelTool();
  view_->setTool(tool);
  for (int id : kPressable)
    if (QAction* a = action(id)) a->setChecked(false);
}

void CMainFrame::buildStatusBar() {
  QStatusBar* bar = statusBar();
  pane0_ = new QLabel(QString::fromUtf8("Gotów"), bar);
  pane0_->setObjectName("statusPane0");
  panePointer_ = new QLabel(bar);
  panePointer_->setObjectName("statusPointer");
  panePointer_->setToolTip(QString::fromUtf8("Położenie wskaźnika na planie [m]"));
  paneZoom_ = new QLabel(bar);
  paneZoom_->setObjectName("statusZoom");
  paneScale_ = new QLabel(bar);
  paneScale_->setObjectName("statusScale");
  bar->addWidget(pane0_, 1);
  bar->addPermanentWidget(panePointer_);
  bar->addPermanentWidget(paneZoom_);
  bar->addPermanentWidget(paneScale_);
}

QString CMainFrame::statusMessage() const { return pane0_->text(); }
void CMainFrame::setStatus(const QString& text) { pane0_->setText(text); }

void CMainFrame::updateTitle() {
  QString name = QString::fromUtf8("Nowy");
  if (!app().projectUntitled && !app().projectPath.empty()) name = QString::fromStdString(app().projectPath);
  QString title = app().projectOpen ? QString("%1 [%2]").arg(kTitleBase, name) : QString(kTitleBase);
  if (title.size() > kTitleLimit) title.truncate(kTitleLimit);
  setWindowTitle(title);
  // Assistive technology says which project is open.
  setAccessibleName(title);
}

void CMainFrame::updateCommandStates() {
  const bool open = view_ != nullptr;
  for (int id : {kCmdToolUndo, kCmdToolRedo, kCmdUndo, kCmdRedo})
    if (QAction* a = action(id)) a->setEnabled(open);
  if (view_) {
    paneZoom_->setText(QString("%1%").arg(qRound(view_->document().zoom * 100)));
    paneScale_->setText(QString("1:%1").arg(static_cast<double>(view_->document().scaleDenominator)));
  } else {
    paneZoom_->clear();
    paneScale_->clear();
    panePointer_->clear();
  }
}

// --- commands -------------------------------------------------------------------------

void CMainFrame::runCommand(int id) {
  switch (id) {
    case kCmdNew: newProject(); return;
    case kCmdOpen: openProject(); return;
    case kCmdOpenNamed:
      if (savePrompt()) openProjectFile(projectToOpen);
      return;
    case kCmdSave: save(); return;
    case kCmdSaveAs:
      if (!view_) {
        platform::tell("Musisz najpierw stworzyc nowy projekt, albo otworzyc istniejacy", "Info !!!!");
        return;
      }
      saveAs();
      return;
    case kCmdClose: closeProject(); return;
    case kCmdExit: close(); return;
    case kCmdStatusBar: statusBar()->setVisible(action(kCmdStatusBar)->isChecked()); return;
    case kCmdGrid: gridSettings(); return;
    case kCmdSectionsOpen: reportCommand(reports::ReportKind::Sections, 0); return;
    case kCmdSectionsSave: reportCommand(reports::ReportKind::Sections, 1); return;
    case kCmdSectionsPrint: reportCommand(reports::ReportKind::Sections, 2); return;
    case kCmdSummaryOpen: reportCommand(reports::ReportKind::Summary, 0); return;
    case kCmdSummarySave: reportCommand(reports::ReportKind::Summary, 1); return;
    case kCmdSummaryPrint: reportCommand(reports::ReportKind::Summary, 2); return;
    case kCmdInfoOpen: reportCommand(reports::ReportKind::Info, 0); return;
    case kCmdInfoSave: reportCommand(reports::ReportKind::Info, 1); return;
    case kCmdInfoPrint: reportCommand(reports::ReportKind::Info, 2); return;
    case kCmdSectionsCsv: exportCommand(reports::ReportKind::Sections, reports::ExportFormat::Csv); return;
    case kCmdSectionsPdf: exportCommand(reports::ReportKind::Sections, reports::ExportFormat::Pdf); return;
    case kCmdSummaryCsv: exportCommand(reports::ReportKind::Summary, reports::ExportFormat::Csv); return;
    case kCmdSummaryPdf: exportCommand(reports::ReportKind::Summary, reports::ExportFormat::Pdf); return;
    case kCmdInfoPdf: exportCommand(reports::ReportKind::Info, reports::ExportFormat::Pdf); return;
    case kCmdHelp: openHelp(); return;
    case kCmdAbout: {
      CAboutDlg dlg(this);
      dlg.exec();
      return;
    }
    case kCmdUndo: case kCmdToolUndo: undoCommand(false); return;
    case kCmdRedo: case kCmdToolRedo: undoCommand(true); return;
    case kCmdCircle: terrainToolCommand(id, kToolCircle); return;
    case kCmdEllipse: terrainToolCommand(id, kToolEllipse); return;
    case kCmdRectangle: terrainToolCommand(id, kToolRectangle); return;
    case kCmdArea: terrainToolCommand(id, kToolArea); return;
    case kCmdPolyline: terrainToolCommand(id, kToolPolyline); return;
    case kCmdText: terrainToolCommand(id, kTypeText); return;
    case kCmdDimension: terrainToolCommand(id, kListCodeDimension); return;
    case kCmdRaster: insertBackground(); return;
    case kCmdPrintPreview: printPreview(); return;
    case kCmdPrint: printCommand(); return;
    case kCmdSections: sectionsDialog(); return;
    case kCmdSystemParameters: systemParameters(); return;
    case kCmdCoverageAnalysis: coverageAnalysis(); return;
    case kCmdCoverageMap: switchCoverageMap(); return;
    case kCmdNetworkAnalysis: networkAnalysis(); return;
    case kCmdLayOutSelected: layOutSelected(); return;
    case kCmdRoutePipes: routePipes(); return;
    case kCmdDesign: designAutomatically(); return;
    case kCmdAutoZonesMenu:
      if (projectOrTell()) autoZones();
      return;
    case kCmdNetworkMap: switchNetworkMap(); return;
    case kCmdPreferences: preferences(); return;
    case kCmdProperties: projectProperties(); return;
    case kCmdMultiplier: case kCmdVat: priceValue(id == kCmdVat); return;
    case kCmdSets: connectionSets(); return;
    case kCmdBrowse:
      DataBaseViewWindow();
      // A final price may have changed: the extra elements take it.
      extraReportElements().resolve(application().catalogue);
      return;
    case kCmdExtraElements: extraElements(); return;
    case kCmdEdit:
      if (scalingOpen()) return;
      if (view_) {
        view_->setTool(kToolEdit);
        view_->setSelectMode(0);
      }
      clearToolButtons();
      action(id)->setChecked(true);
      return;
    case kCmdSelect: case kCmdPan:
      if (scalingOpen()) return;
      if (view_) {
        view_->cancelTool();
        view_->setTool(id == kCmdPan ? kToolPan : kToolEdit);
        if (id == kCmdSelect) view_->setSelectMode(1);
      }
      clearToolButtons();
      action(id)->setChecked(true);
      return;
    default: break;
  }
  for (const FillButton& b : kFillButtons)
    if (b.id == id) fillCommand(id, b.kind);
}

void CMainFrame::clearToolButtons() {
  for (int id : kPressable)
    if (QAction* a = action(id)) a->setChecked(false);
  if (palette_) palette_->releasePaletteButtons();
  if (view_) {
    view_->document().selected = nullptr;
    view_->editor().clearSelection();
    view_->refresh();
  }
}

void CMainFrame::applyTerrainTool(bool cancel) {
  if (!view_) return;
  CGraphicPlane& doc = view_->document();
  if (doc.scaleDialogOpen) return;
  if (cancel) {
    view_->cancelTool();
    view_->setTool(app().currentTerrainTool);
  }
  doc.toolKind = app().currentFillKind;
  doc.toolColour = app().currentTerrainColour;
}

bool CMainFrame::scalingOpen() const { return view_ && view_->document().scaleDialogOpen; }

void CMainFrame::terrainToolCommand(int id, int tool) {
  if (scalingOpen()) {
    action(id)->setChecked(false);
    return;
  }
  clearToolButtons();
  action(id)->setChecked(true);
  app().currentTerrainTool = tool;
  applyTerrainTool(true);
}

void CMainFrame::fillCommand(int id, int kind) {
  app().currentFillKind = kind;
  app().currentTerrainColour =
      kind == kFillOther ? app().settings.terrainLineColour : fillKindOutlineColour(kind);
  // The fill buttons act as a group: the one chosen stays pressed.
  action(id)->setChecked(true);
  applyTerrainTool(false);
}

void CMainFrame::undoCommand(bool redo) {
  if (!view_ || !app().projectOpen) return;
  CGraphicPlane& doc = view_->document();
  // An area or polyline half drawn stays as it is; its own snapshots are in the history.
  if (redo)
    undo_.redo(doc);
  else
    undo_.undo(doc);
  if (view_->editor().selectedPrimitive() && view_->editor().selectedPrimitive()->deleted)
    view_->editor().clearSelection();
  view_->refresh();
}

// --- projects --------------------------------------------------------------------------

bool CMainFrame::savePrompt() {
  if (!view_ || view_->saved || !view_->modified) return true;
  const platform::MessageAnswer answer = platform::messages().show(
      {cp("Czy chcesz zapisać zmiany w pliku ???"), "Pytanie !!!", platform::MessageIcon::Question,
       platform::MessageButtons::YesNoCancel});
  if (answer == platform::MessageAnswer::Cancel) return false;
  // Work is never dropped because its save did not happen.
  if (answer == platform::MessageAnswer::Yes) return save();
  return true;
}

void CMainFrame::releaseProject() {
  // The reduction dialog works on an object of the project.
  if (reduction_) {
    reduction_->disconnect(this);
    delete reduction_.data();
  }
  // The dialogs that work on the view and its project go before it.
  for (QPointer<QDialog>* d : {&scaling_, &sections_, &pipeDialog_, &cableDialog_, &coverage_, &network_})
    if (*d) delete d->data();
  if (preview_) delete preview_.data();
  if (!view_) return;
  CProjWnd* v = view_;
  if (application().document.get() == &v->document()) v->detachDocument();
  view_ = nullptr;
  centre_->removeWidget(v);
  delete v;
  undo_.reset();
}

void CMainFrame::installDocument() {
  view_ = new CProjWnd(*application().document, undo_, centre_);
  view_->setCoverageOptions(coverageOptions_);
  centre_->addWidget(view_);
  centre_->setCurrentWidget(view_);
  connect(view_, &CProjWnd::statusText, this, &CMainFrame::setStatus);
  connect(view_, &CProjWnd::pointerAt, this, [this](double x, double y) {
    panePointer_->setText(QString("x: %1 m  y: %2 m").arg(x, 0, 'f', 2).arg(y, 0, 'f', 2));
  });
  connect(view_, &CProjWnd::zoomInRequested, options_, &CMainToolBar::zoomIn);
  connect(view_, &CProjWnd::zoomOutRequested, options_, &CMainToolBar::zoomOut);
  connect(view_, &CProjWnd::zoomResetRequested, options_, &CMainToolBar::resetZoom);
  connect(view_, &CProjWnd::orthoChanged, options_, &CMainToolBar::setOrthoButton);
  connect(view_, &CProjWnd::gridToggled, options_, &CMainToolBar::setGridButton);
  connect(view_, &CProjWnd::zoomed, this, [this] { updateCommandStates(); });
  connect(view_, &CProjWnd::fillKindRequested, this, &CMainFrame::editFill);
  connect(view_, &CProjWnd::transformRequested, this, &CMainFrame::transformShape);
  connect(view_, &CProjWnd::layoutRequested, this, &CMainFrame::layOutHeads);
  connect(view_, &CProjWnd::labelRotationRequested, this, &CMainFrame::rotateLabel);
  connect(view_, &CProjWnd::textEditRequested, this, &CMainFrame::editText);
  connect(view_, &CProjWnd::textPlacementRequested, this, &CMainFrame::placeText);
  connect(view_, &CProjWnd::sourceParametersRequested, this, &CMainFrame::sourceParameters);
  PlanEditor& editor = view_->editor();
  editor.palette = &palette_->choice();
  editor.askSourceParameters = [this]() -> std::optional<SourceParameters> {
    CDlgSourceParams dlg(0, 0, this);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return SourceParameters{dlg.pressure(), dlg.capacity()};
  };
  editor.onToolReleased = [this] { palette_->releasePaletteButtons(); };
  editor.chooseNozzle = [this](CWBase& sprinkler) {
    auto& s = static_cast<CWSprinkler&>(sprinkler);
    CDlgNozzle dlg(s.elem, s.nozzleNo, this);
    dlg.exec();
    return dlg.row();
  };
  connect(view_, &CProjWnd::reductionRequested, this, &CMainFrame::reduceRadius);
  editor.chooseDripType = [this](CWBase& drip) -> CElem* {
    CDlgDripType dlg(drip.elem, this);
    return dlg.exec() == QDialog::Accepted ? dlg.chosen() : nullptr;
  };
}

void CMainFrame::afterProjectMade() {
  palette_->refreshSetList(application().sets.get());
  options_->resetToolbar();
  options_->selectAllFilter();
  options_->resetZoom();
  // The switches of the bar hold for the new view.
  CGraphicPlane& doc = view_->document();
  doc.showGrips = 1;
  doc.noFill = 0;
  doc.showCoverage = 1;
  doc.showLabels = 1;
  doc.showFlows = 0;
  view_->setGridShown(true);
  view_->setSnapToGrid(false);
  view_->setHideBackground(false);
  // Every project starts without a tool.
  view_->setTool(0);
  clearToolButtons();
  applyTerrainTool(false);
  undo_.reset();
  view_->modified = false;
  view_->saved = false;
  updateTitle();
  updateCommandStates();
  setStatus(QString::fromUtf8("Gotów"));
  view_->setFocus();
}

void CMainFrame::newProject() {
  if (!savePrompt()) return;
  releaseProject();
  ::newProject();
  installDocument();
  updateTitle();
  // The drawing scale, asked until it is a number.
  unsigned denominator = 0;
  do {
    CDlgProjScale dlg(this);
    dlg.exec();
    denominator = dlg.denominator;
  } while (denominator == 0);
  CGraphicPlane& doc = view_->document();
  doc.pixelsPerCm = 29;
  doc.scaleDenominator = static_cast<float>(denominator);
  afterProjectMade();
}

void CMainFrame::openProject() {
  if (!savePrompt()) return;
  QFileDialog dlg(this, QString::fromUtf8("Otwórz"), projectsFolder(),
                  QString::fromUtf8("Projekty (*.prj);;Wszystkie pliki (*)"));
  dlg.setObjectName("openDialog");
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
  openProjectFile(dlg.selectedFiles().front());
}

bool CMainFrame::openProjectFile(const QString& path) {
  const std::string file = path.toStdString();
  const ProjectResult r = ::openProject(file);
  if (!r.ok) {
    // The open project stays as it was.
    platform::tell(r.message, r.caption.empty() ? "Info!!" : r.caption, platform::MessageIcon::Error);
    return false;
  }
  releaseProject();
  installDocument();
  CGraphicPlane& doc = view_->document();
  doc.fileName = file;
  // Opening read the image and set the drawing scale by it; a plan whose
  // image cannot be read goes on without it.
  if (application().background)
    view_->setBackground(application().background);
  else if (doc.hasBackground)
    platform::tell(cp("Błąd pliku bitmapy."), cp("Błąd"), platform::MessageIcon::Error);
  afterProjectMade();
  if (!r.message.empty()) platform::tell(r.message, r.caption.empty() ? "Info" : r.caption);
  return true;
}

bool CMainFrame::loadBackground() {
  CGraphicPlane& doc = view_->document();
  auto image = std::make_shared<platform::Image>(readBackgroundFile(backgroundPath(doc)));
  if (image->width <= 0 || image->height <= 0) {
    platform::tell(cp("Błąd pliku bitmapy."), cp("Błąd"), platform::MessageIcon::Error);
    return false;
  }
  // With a background the plan has 28 plan units per centimetre.
  doc.pixelsPerCm = 28.0f;
  application().background = image;
  view_->setBackground(std::move(image));
  return true;
}

void CMainFrame::insertBackground() {
  if (!view_ || !app().projectOpen) {
    platform::tell("Zeby wstawic bitmape musi byc otwarty projekt", "Info !!!", platform::MessageIcon::Information);
    return;
  }
  CGraphicPlane& doc = view_->document();
  CBmpProp dlg(doc, this);
  if (dlg.exec() != QDialog::Accepted) return;
  // What the plan had, should the image not load.
  const std::string file = doc.backgroundFile;
  const float scale = doc.scaleDenominator;
  doc.backgroundFile = dlg.chosenPath.toStdString();
  options_->resetZoom();
  doc.scaleDenominator = static_cast<float>(dlg.scaleDenominator);
  doc.scaleFromSegment = dlg.scaleFromSegment ? 1 : 0;
  if (!loadBackground()) {
    doc.backgroundFile = file;
    doc.scaleDenominator = scale;
    return;
  }
  doc.hasBackground = 1;
  view_->modified = true;
  view_->refresh();
  updateCommandStates();
  if (doc.scaleFromSegment) openScaling();
}

void CMainFrame::openScaling() {
  if (scaling_) delete scaling_.data();
  clearToolButtons();
  auto* dlg = new CDlgScale(*view_, [this] { options_->resetZoom(); });
  connect(dlg, &CDlgScale::scaleChanged, this, [this] {
    view_->modified = true;
    updateCommandStates();
  });
  scaling_ = dlg;
  placeAtPlanCorner(dlg);
  dlg->show();
}

bool CMainFrame::projectOrTell() {
  if (view_ && app().projectOpen) return true;
  platform::tell(cp("Musisz najpierw stworzyć projekt, albo otworzyć istniejący"), "Info !!!!");
  return false;
}

void CMainFrame::placeAtPlanCorner(QWidget* dialog) {
  // The plan's top right corner keeps the dialog clear of what it works on.
  dialog->adjustSize();
  QWidget* plan = view_->viewport();
  dialog->move(plan->mapToGlobal(QPoint(plan->width() - dialog->width() - 16, 16)));
}

void CMainFrame::transformShape(CPrimitive* shape) {
  auto* poly = dynamic_cast<CPoly*>(shape);
  if (!view_ || !poly || poly->deleted || scalingOpen()) return;
  CDlgTransform dlg(*view_, undo_, *poly, this);
  placeAtPlanCorner(&dlg);
  dlg.exec();
}

QString CMainFrame::chooseSaveName(const QString& title, const QString& suggestion, const QString& filter,
                                   const QString& suffix) {
  QFileDialog dlg(this, title, projectsFolder(), filter);
  dlg.setObjectName("saveDialog");
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setDefaultSuffix(suffix);
  dlg.selectFile(suggestion);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return dlg.selectedFiles().front();
}

bool CMainFrame::writeProject(const QString& path) {
  const ProjectResult r = saveOpenProject(path.toStdString());
  if (!r.ok) {
    platform::tell(r.message, r.caption.empty() ? "Info!!" : r.caption, platform::MessageIcon::Error);
    return false;
  }
  view_->document().fileName = path.toStdString();
  view_->saved = true;
  view_->modified = false;
  app().projectOpen = 1;
  updateTitle();
  setStatus(QString("%1 %2").arg(QString::fromUtf8("Zapisano plik: "), path));
  if (!r.message.empty()) platform::tell(r.message, r.caption.empty() ? "Info" : r.caption);
  return true;
}

bool CMainFrame::save() {
  if (!view_) {
    platform::tell("Musisz najpierw stworzyc nowy projekt, albo otworzyc istniejacy", "Info !!!!");
    return false;
  }
  if (app().projectUntitled || app().projectPath.empty()) return saveAs();
  return writeProject(QString::fromStdString(app().projectPath));
}

bool CMainFrame::saveAs() {
  if (!view_) return false;
  const QString path = chooseSaveName("Zapisz jako", "nowy.prj",
                                      QString::fromUtf8("Projekty (*.prj);;Wszystkie pliki (*)"), "prj");
  if (path.isEmpty()) return false;
  return writeProject(path);
}

void CMainFrame::closeProject() {
  if (!view_) return;
  if (!savePrompt()) return;
  releaseProject();
  ::closeProject();
  palette_->refreshSetList(application().sets.get());
  centre_->setCurrentWidget(splash_);
  updateTitle();
  updateCommandStates();
  clearToolButtons();
  setStatus(QString::fromUtf8("Gotów"));
}

void CMainFrame::closeEvent(QCloseEvent* e) {
  if (view_ && !savePrompt()) {
    e->ignore();
    return;
  }
  application().autosave.stop();
  app().projectOpen = 0;
  app().projectUntitled = 0;
  timer_->stop();
  e->accept();
}

void CMainFrame::autosaveTick() {
  // Never while a dialog or message is open (a command may be half done and
  // the project's tables half read) nor while the user is drawing or
  // dragging: the save waits for the next tick.
  if (!view_ || QApplication::activeModalWidget() || QApplication::activePopupWidget() || view_->busy()) return;
  if (!application().autosave.isDue()) return;
  if (app().projectUntitled) {
    // An untitled project is kept as autosave1.prj, autosave2.prj, ... in the
    // projects folder and stays untitled: the user still chooses its name.
    const std::string path = platform::fileSys().filePath(platform::UserProjectsDir, application().autosave.fileName());
    ProjectIo io = projectIo(view_->document());
    const ProjectResult r = saveProject(io, path);
    if (r.ok) setStatus(QString("%1 %2").arg(QString::fromUtf8("Zapisano plik: "), QString::fromStdString(path)));
    else platform::tell(r.message, r.caption.empty() ? "Info!!" : r.caption, platform::MessageIcon::Error);
    return;
  }
  writeProject(QString::fromStdString(app().projectPath));
}

// --- one object's dialogs ------------------------------------------------------------------

void CMainFrame::editFill(CPrimitive* shape) {
  if (!view_ || !shape) return;
  CDlgFillSel dlg(shape->fillKind, shape->fillColour, this);
  dlg.exec();
  // However the dialog was closed, the shape takes what it shows.
  auto before = shape->clone();
  applyFillChoice(*shape, dlg.fillKind, dlg.colour());
  if (before->fillKind != shape->fillKind || before->fillColour != shape->fillColour)
    undo_.pushCopy(*shape, std::move(before));
  view_->refresh();
}

void CMainFrame::rotateLabel(CWBase* object) {
  if (!view_ || !object) return;
  int* angle = nullptr;
  if (auto* line = dynamic_cast<CWPolyline*>(object)) angle = &line->labelAngle;
  else if (auto* dimension = dynamic_cast<CWDimension*>(object)) angle = &dimension->labelAngle;
  if (!angle) return;
  auto before = object->clone();
  const int start = *angle;
  CDLGRotText dlg(*angle, [this] { view_->refresh(); }, this);
  dlg.exec();
  if (*angle != start) undo_.pushCopy(*object, std::move(before));
  view_->refresh();
}

void CMainFrame::editText(CWBase* object) {
  auto* text = dynamic_cast<CWText*>(object);
  if (!view_ || !text) return;
  const TextSettings start = TextSettings::fromText(*text);
  CDLGFonSettings dlg(start, this);
  dlg.exec();
  if (dlg.settings == start) return;
  undo_.pushCopy(*text, text->clone());
  dlg.settings.applyTo(*text);
  view_->refresh();
}

void CMainFrame::sourceParameters() {
  if (!view_) return;
  CGraphicPlane& doc = view_->document();
  CDlgSourceParams dlg(doc.sourcePressure, doc.sourceCapacity, this);
  std::optional<SourceParameters> accepted;
  if (dlg.exec() == QDialog::Accepted) accepted = SourceParameters{dlg.pressure(), dlg.capacity()};
  if (ChangeSourceParameters(doc, accepted)) {
    view_->modified = true;
    view_->refresh();
  }
}

// --- the designer's dialogs --------------------------------------------------------------------

void CMainFrame::sectionsDialog() {
  if (!view_ || !app().projectOpen) return;
  if (bringForward(sections_)) return;
  auto* dlg = new CDlgSecSel(*view_, this);
  connect(dlg, &CDlgSecSel::systemParametersRequested, this, &CMainFrame::systemParameters);
  connect(dlg, &CDlgSecSel::autoZonesRequested, this, &CMainFrame::autoZones);
  connect(dlg, &CDlgSecSel::sectionsChanged, this, [this] {
    if (view_) view_->refresh();
  });
  sections_ = dlg;
  placeAtPlanCorner(dlg);
  dlg->show();
}

void CMainFrame::systemParameters() {
  if (!view_ || !app().projectOpen) return;
  CDlgSystemParams dlg(view_->document(), this);
  dlg.exec();
}

void CMainFrame::coverageAnalysis() {
  if (!projectOrTell()) return;
  // One at a time: asked again, the open one comes forward with fresh figures.
  if (coverage_) {
    static_cast<CDlgCoverage*>(coverage_.data())->recompute();
    bringForward(coverage_);
    return;
  }
  auto* dlg = new CDlgCoverage(view_->document(), coverageOptions_, this);
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  coverage_ = dlg;
  connect(dlg, &CDlgCoverage::optionsChanged, this, [this](const CoverageOptions& o) {
    coverageOptions_ = o;
    if (view_) view_->setCoverageOptions(o);
  });
  connect(dlg, &CDlgCoverage::showMapRequested, this, [this](int section) { options_->showCoverage(section); });
  dlg->show();
}

void CMainFrame::switchCoverageMap() {
  if (!view_ || !app().projectOpen) {
    if (QAction* a = action(kCmdCoverageMap)) a->setChecked(false);
    platform::tell(cp("Musisz najpierw stworzyć projekt, albo otworzyć istniejący"), "Info !!!!");
    return;
  }
  QCheckBox* box = options_->checkBox(1060);
  box->setChecked(!box->isChecked());
}

void CMainFrame::networkAnalysis() {
  if (!projectOrTell()) return;
  // One at a time: asked again, the open one comes forward with fresh figures.
  if (network_) {
    static_cast<CDlgNetwork*>(network_.data())->recompute();
    bringForward(network_);
    return;
  }
  auto* dlg = new CDlgNetwork(view_->document(), [this](const network::SizingResult& s) { applySizing(s); }, this);
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  network_ = dlg;
  connect(dlg, &CDlgNetwork::objectChosen, this, &CMainFrame::showObject);
  placeAtPlanCorner(dlg);
  dlg->show();
}

void CMainFrame::switchNetworkMap() {
  if (!view_ || !app().projectOpen) {
    if (QAction* a = action(kCmdNetworkMap)) a->setChecked(false);
    platform::tell(cp("Musisz najpierw stworzyć projekt, albo otworzyć istniejący"), "Info !!!!");
    return;
  }
  QCheckBox* box = options_->checkBox(1062);
  box->setChecked(!box->isChecked());
}

void CMainFrame::applySizing(const network::SizingResult& sizing) {
  if (!view_) return;
  CGraphicPlane& doc = view_->document();
  undo_.beginStep();
  network::SizingEdits edits;
  edits.beforeChange = [this](CWBase& o) { undo_.pushSnapshot(o); };
  edits.added = [this](CWBase& o) { undo_.pushToggle(o, kTypePipe); };
  const int changed = network::applySizing(doc, sizing, edits);
  undo_.endStep();
  if (changed == 0) return;
  view_->modified = true;
  view_->refresh();
  updateCommandStates();
}

void CMainFrame::designAutomatically() {
  if (!projectOrTell()) return;
  CGraphicPlane& doc = view_->document();
  CProjWnd* view = view_;
  CDlgDesign dlg(doc, view_->editor().selectedPrimitive(), [view](const design::Result& r) {
    std::vector<CProjWnd::PreviewHead> shown;
    if (r.ok) {
      auto colourOf = [&](int section) -> platform::Colour {
        return section >= 0 && section < static_cast<int>(r.zones.sections.size()) ? r.zones.sections[section].colour : 0x404040;
      };
      for (size_t i = 0; i < r.headOutlines.size(); ++i)
        shown.push_back({r.headOutlines[i].empty() ? PointD{} : r.headOutlines[i].front(), 0, r.headOutlines[i], true,
                         colourOf(r.headSections[i])});
      for (size_t i = 0; i < r.pipeRuns.size(); ++i)
        shown.push_back({r.pipeRuns[i].empty() ? PointD{} : r.pipeRuns[i].front(), 0, r.pipeRuns[i], false,
                         colourOf(r.pipeSections[i])});
      // The valves, as small squares in their sections' colours.
      const double half = 0.2 * 100.0 / view->document().scaleDenominator * view->document().pixelsPerCm;
      for (const routing::NewValve& v : r.route.valves)
        shown.push_back({v.at, 0,
                         {{v.at.x - half, v.at.y - half}, {v.at.x + half, v.at.y - half}, {v.at.x + half, v.at.y + half},
                          {v.at.x - half, v.at.y + half}},
                         true, colourOf(v.section)});
    }
    view->setPreviewHeads(std::move(shown));
  }, this);
  // Beside the plan, so that the preview stays in sight.
  placeAtPlanCorner(&dlg);
  if (dlg.exec() != QDialog::Accepted || !dlg.result().ok) return;
  undo_.beginStep();
  network::SizingEdits edits;
  edits.beforeChange = [this](CWBase& o) { undo_.pushSnapshot(o); };
  edits.added = [this](CWBase& o) { undo_.pushToggle(o, o.GetType()); };
  design::apply(doc, sectionList(), dlg.result(), dlg.options(), edits, [this] {
    // The section table goes back with the heads.
    undo_.pushState([] { return std::static_pointer_cast<void>(std::make_shared<CSectionList>(sectionList())); },
                    [](const std::shared_ptr<void>& state) { sectionList() = *std::static_pointer_cast<CSectionList>(state); });
  });
  undo_.endStep();
  view_->modified = true;
  view_->refresh();
  if (sections_) static_cast<CDlgSecSel*>(sections_.data())->refreshRows();
  updateCommandStates();
}

void CMainFrame::routePipes() {
  if (!projectOrTell()) return;
  CGraphicPlane& doc = view_->document();
  CDlgRoute dlg(doc, this);
  if (dlg.exec() != QDialog::Accepted) return;
  undo_.beginStep();
  network::SizingEdits edits;
  edits.beforeChange = [this](CWBase& o) { undo_.pushSnapshot(o); };
  edits.added = [this](CWBase& o) { undo_.pushToggle(o, o.GetType()); };
  const routing::Piped piped = routing::routeAndSize(doc, application().sets.get(), dlg.options(), edits);
  undo_.endStep();
  if (!piped.ok) {
    // Nothing was put on the plan.
    if (piped.errorObject >= 0) showObject(piped.errorObject);
    platform::tell(piped.error, cp("Poprowadź rury"), platform::MessageIcon::Warning);
    return;
  }
  view_->modified = true;
  view_->refresh();
  updateCommandStates();
  double laterals = 0;
  for (const routing::SectionRoute& s : piped.route.sections) laterals += s.lateralM;
  std::string text = cp("Sekcji z nowymi rurami: ") + std::to_string(piped.route.sections.size()) +
                     cp(", rury boczne ") + platform::formatFixedComma(laterals, 1) + cp(" m, rura główna ") +
                     platform::formatFixedComma(piped.route.mainM, 1) + cp(" m, zaworów: ") +
                     std::to_string(piped.route.valves.size()) + ".";
  for (const network::Warning& w : piped.sizing.unmet) text += "\n" + w.text;
  platform::tell(text, cp("Poprowadź rury"));
}

void CMainFrame::layOutSelected() {
  if (!projectOrTell()) return;
  CPrimitive* area = view_->editor().selectedPrimitive();
  if (!area || area->deleted || !isWateredSurface(*area)) {
    platform::tell(cp("Zaznacz na planie trawnik, kwiaty, drzewa i krzewy, żywopłot albo obszar "
                                          "„Inne”, w którym mają stanąć zraszacze."),
                   cp("Rozmieść zraszacze"));
    return;
  }
  layOutHeads(area);
}

void CMainFrame::layOutHeads(CPrimitive* area) {
  if (!view_ || !app().projectOpen || !area || area->deleted) return;
  CGraphicPlane& doc = view_->document();
  CProjWnd* view = view_;
  // Where pipes already run in the area, the heads work at the pressure
  // the network gives there.
  const double networkPressure = layout::networkPressureIn(doc, application().sets.get(), *area);
  CDlgLayout dlg(doc, *area, networkPressure, [view](const layout::Result& r, const layout::Options& o) {
    std::vector<CProjWnd::PreviewHead> heads;
    if (r.ok) {
      std::vector<std::vector<PointD>> figures = layout::outlines(view->document(), r, o);
      for (size_t i = 0; i < r.heads.size(); ++i)
        heads.push_back({r.heads[i].at, 0, i < figures.size() ? std::move(figures[i]) : std::vector<PointD>{}});
    }
    view->setPreviewHeads(std::move(heads));
  }, this);
  placeAtPlanCorner(&dlg);
  if (dlg.exec() != QDialog::Accepted || !dlg.result().ok) return;
  // The heads placed as one step of the history.
  undo_.beginStep();
  for (CWBase* o : layout::place(doc, dlg.result(), dlg.options())) undo_.pushToggle(*o, o->GetType());
  undo_.endStep();
  view_->modified = true;
  view_->refresh();
  updateCommandStates();
}

void CMainFrame::autoZones() {
  if (!view_ || !app().projectOpen) return;
  CGraphicPlane& doc = view_->document();
  CDlgAutoZones dlg(doc, this);
  if (dlg.exec() != QDialog::Accepted || !dlg.result().ok) return;
  undo_.beginStep();
  // The section table goes back with the heads.
  undo_.pushState([] { return std::static_pointer_cast<void>(std::make_shared<CSectionList>(sectionList())); },
                  [](const std::shared_ptr<void>& state) { sectionList() = *std::static_pointer_cast<CSectionList>(state); });
  zoning::apply(doc, sectionList(), dlg.result(), [this](CWBase& o) { undo_.pushSnapshot(o); });
  undo_.endStep();
  view_->modified = true;
  view_->refresh();
  if (sections_) static_cast<CDlgSecSel*>(sections_.data())->refreshRows();
  updateCommandStates();
}

void CMainFrame::showObject(int index) {
  if (!view_) return;
  CGraphicPlane& doc = view_->document();
  if (index < 0 || index >= static_cast<int>(doc.objects().size()) || doc.objects()[index]->deleted) return;
  CWBase& o = *doc.objects()[index];
  doc.selected = &o;
  // Brought to the middle of the view when it lies outside it.
  PointD at = network::placeOf(o);
  if (const auto* line = dynamic_cast<const CWPolyline*>(&o); line && !line->verticesU.empty()) {
    double x = 0, y = 0;
    for (const PointD& v : line->verticesU) x += v.x, y += v.y;
    at = {x / line->verticesU.size(), y / line->verticesU.size()};
  }
  const platform::Point px{static_cast<int>(at.x * doc.zoom), static_cast<int>(at.y * doc.zoom)};
  const platform::Point origin = view_->scrollOrigin();
  const QSize size = view_->viewport()->size();
  const int sx = px.x + origin.x, sy = px.y + origin.y;
  if (sx < 0 || sy < 0 || sx >= size.width() || sy >= size.height())
    view_->setScrollOrigin({size.width() / 2 - px.x, size.height() / 2 - px.y});
  view_->refresh();
}

void CMainFrame::paletteDialog(int buttonId) {
  if (buttonId == 1047) {
    CDlgCalculator dlg(application().catalogue.head, this);
    dlg.exec();
    return;
  }
  if (!view_ || scalingOpen()) return;
  QPointer<QDialog>& slot = buttonId == 1045 ? cableDialog_ : pipeDialog_;
  // One at a time: a new one takes the place of the one open.
  if (slot) delete slot.data();
  palette_->releasePaletteButtons();
  QDialog* dlg = nullptr;
  if (buttonId == 1045) {
    dlg = new CDlgVoltageDrop(*view_, application().catalogue.head, this);
  } else {
    const auto kind = buttonId == 1048 ? PlanPipeCalculation::Kind::MainPipe : PlanPipeCalculation::Kind::LateralPipe;
    dlg = new CDlgPipeParams(kind, *view_, application().catalogue.head, this);
    placeAtPlanCorner(dlg);
  }
  connect(static_cast<PlanToolDialog*>(dlg), &PlanToolDialog::ended, this, [this] {
    palette_->releasePaletteButtons();
    updateCommandStates();
  });
  slot = dlg;
  dlg->show();
}

void CMainFrame::preferences() {
  CDlgSettings dlg(app().settings, this);
  dlg.exec();
  // However it was closed, the colours shown are taken.
  dlg.takeColours();
  application().autosave.setInterval(app().settings.autosaveMinutes);
  if (view_) view_->refresh();
}

void CMainFrame::projectProperties() {
  if (!projectOrTell()) return;
  CGraphicPlane& doc = view_->document();
  CDlgProjProp dlg(doc, app().settings, this);
  dlg.exec();
  // However it was closed, the fields go into the project.
  const std::vector<std::string> before{doc.investor, doc.objectName, doc.projectNo, doc.projectDate,
                                        doc.companyName, doc.companyAddress, doc.companyPhone, doc.companyEmail,
                                        doc.companyWww, doc.companyLogo, doc.author};
  dlg.copyInto(doc);
  const std::vector<std::string> after{doc.investor, doc.objectName, doc.projectNo, doc.projectDate,
                                       doc.companyName, doc.companyAddress, doc.companyPhone, doc.companyEmail,
                                       doc.companyWww, doc.companyLogo, doc.author};
  if (before != after) view_->modified = true;
}

void CMainFrame::priceValue(bool vat) {
  AppSettings& s = app().settings;
  CDlgPriceValue dlg(vat ? CDlgPriceValue::Kind::Vat : CDlgPriceValue::Kind::Multiplier,
                     vat ? s.vatPercent : s.priceMultiplier, this);
  if (dlg.exec() == QDialog::Accepted) {
    // Taken for the run; "Zachowaj" also keeps it in the configuration.
    if (vat)
      reports::setVatPercent(dlg.value, dlg.keep);
    else
      reports::setPriceMultiplier(dlg.value, dlg.keep);
  }
  // The extra report elements take the prices as they now stand.
  if (!vat) extraReportElements().resolve(application().catalogue);
}

void CMainFrame::connectionSets() {
  CDBSets* sets = application().sets.get();
  if (!sets) return;
  CDlgEditSets dlg(*sets, application().catalogue, view_ ? &view_->document() : nullptr, this);
  dlg.exec();
  // The editor keeps its work on every exit.
  if (!sets->save(platform::fileSys().dirPath(platform::UserDataDir)))
    platform::tell(cp("Nie można zapisać pliku zestawów (sets.zdb)."), "Info!!", platform::MessageIcon::Error);
  palette_->refreshSetList(sets);
  if (view_) {
    if (dlg.planChanged) view_->modified = true;
    view_->refresh();
  }
}

void CMainFrame::extraElements() {
  if (!view_ || !app().projectOpen) return;
  CDlgAddRepSec dlg(extraReportElements(), application().catalogue, this);
  dlg.exec();
  if (dlg.changed) view_->modified = true;
}

void CMainFrame::objectList() {
  if (!view_) return;
  // One at a time; it belongs to the plan view and goes with the project.
  if (bringForward(objectList_)) return;
  auto* dlg = new CDlgObjList(view_->document(), [this] {
    if (view_) view_->refresh();
  }, view_);
  objectList_ = dlg;
  dlg->show();
}

void CMainFrame::reduceRadius(CWBase* object) {
  if (!view_ || !object) return;
  // One at a time: a new one replaces the open one.
  if (reduction_) reduction_->close();
  auto before = std::shared_ptr<CWBase>(object->clone());
  auto* dlg = new CDlgReduction(*object, [this] {
    if (!view_) return;
    view_->modified = true;
    view_->refresh();
  }, this);
  reduction_ = dlg;
  connect(dlg, &QDialog::finished, this, [this, object, before] {
    if (view_ && object->GetReduction() != before->GetReduction()) undo_.pushCopy(*object, before->clone());
  });
  dlg->show();
}

void CMainFrame::placeText(platform::Point at) {
  if (!view_) return;
  CDLGFonSettings dlg(TextSettings{}, this);
  dlg.exec();
  // An empty text would be an object nobody can see or pick.
  if (dlg.settings.text.empty()) return;
  CGraphicPlane& doc = view_->document();
  auto text = std::make_unique<CWText>();
  text->PlaceAt(at, doc.zoom);
  dlg.settings.applyTo(*text);
  CWBase* added = doc.addObject(kTypeText, std::move(text));
  undo_.pushToggle(*added, kTypeText);
  view_->refresh();
}

// --- settings ---------------------------------------------------------------------------

void CMainFrame::gridSettings() {
  if (!view_) {
    platform::tell(cp("Musi być otwarty projekt aby ustawić parametry siatki."), "Info !!!");
    return;
  }
  CGraphicPlane& doc = view_->document();
  CDlgGrid dlg(doc.gridStep, app().settings.gridColour, this);
  dlg.exec();
  app().settings.gridColour = dlg.colour();
  // A step of nothing cannot be drawn: the grid keeps its step.
  if (dlg.step > 0) doc.gridStep = dlg.step;
  view_->refresh();
}

// --- reports and help ---------------------------------------------------------------------

void CMainFrame::reportCommand(reports::ReportKind kind, int use) {
  if (!view_) {
    if (use == 1) reports::tellNoProject();
    return;
  }
  const CGraphicPlane& doc = view_->document();
  std::string path;
  if (use == 1) {
    const QString chosen =
        chooseSaveName("Zapisz", QString::fromStdString(platform::cp1250ToUtf8(reports::initialSaveName(kind))) + ".html",
                       "Zestawienia (*.html);;Wszystkie pliki (*)", "html");
    if (chosen.isEmpty()) return;
    path = chosen.toStdString();
  } else {
    path = reports::temporaryReportPath(kind, use == 0 ? reports::ReportUse::OpenInWordProcessor
                                                       : reports::ReportUse::Print);
  }
  if (!reports::writeReport(kind, doc, path)) return;
  platform::ShellResult r;
  switch (use) {
    case 0: r = platform::openInWordProcessor(path); break;
    case 1: r = platform::openWithDefault(path); break;
    default: r = platform::printHtmlFile(path); break;
  }
  if (!r.ok) platform::tell(r.message, "Info", platform::MessageIcon::Error);
}

// --- printing --------------------------------------------------------------------------------------

void CMainFrame::printPreview() {
  if (!view_ || !app().projectOpen) return;
  if (bringForward(preview_)) return;
  auto* frame = new CPrintViewFrame(view_->document(), view_->background(),
                                    [this](int scale) { printSheet(scale, preview_ ? preview_.data() : this); }, this);
  // The plan waits while its sheet is set up.
  frame->setWindowModality(Qt::ApplicationModal);
  connect(frame, &CPrintViewFrame::closed, this, [this] {
    if (!view_) return;
    view_->refresh();
    view_->setFocus();
  });
  preview_ = frame;
  // Screen-sized even where no window manager maximises it.
  if (const QScreen* screen = this->screen()) frame->setGeometry(screen->availableGeometry());
  frame->showMaximized();
}

void CMainFrame::printCommand() {
  if (!projectOpenForPrinting() || !view_) return;
  // From the main window the scale is always asked.
  CDlgPrintSetup dlg(static_cast<int>(std::clamp(view_->document().scaleDenominator, 0.0f, 99999.0f)), this);
  dlg.exec();
  printSheet(dlg.scale, this);
}

void CMainFrame::printSheet(int scale, QWidget* parent) {
  if (!view_) return;
  const PrintLayout& layout = printLayout();
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(kPrintJobName);
  printer.setPageLayout(sheetPageLayout(layout));
  bool chosen = false;
  if (choosePrinter) {
    chosen = choosePrinter(printer, parent);
  } else {
    QPrintDialog dlg(&printer, parent);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    chosen = dlg.exec() == QDialog::Accepted;
  }
  if (!chosen) return;
  PrintRequest request;
  request.printScale = scale;
  const std::shared_ptr<const platform::Image> background = view_->background();
  request.background = background.get();
  runPrintJob(printer, view_->document(), layout, request);
}

void CMainFrame::exportCommand(reports::ReportKind kind, reports::ExportFormat format) {
  if (!view_) {
    reports::tellNoProject();
    return;
  }
  const bool csv = format == reports::ExportFormat::Csv;
  const QString suffix = csv ? "csv" : "pdf";
  const QString chosen =
      chooseSaveName(csv ? "Eksportuj CSV" : "Eksportuj PDF",
                     QString::fromStdString(platform::cp1250ToUtf8(reports::initialSaveName(kind))) + "." + suffix,
                     csv ? "CSV (*.csv);;Wszystkie pliki (*)" : "PDF (*.pdf);;Wszystkie pliki (*)", suffix);
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toStdString();
  if (!reports::exportReport(kind, format, view_->document(), path)) return;
  setStatus(QString("%1 %2").arg(QString::fromUtf8("Zapisano plik: "), chosen));
  const platform::ShellResult r = platform::openWithDefault(path);
  if (!r.ok) platform::tell(r.message, "Info", platform::MessageIcon::Error);
}

void CMainFrame::openHelp() {
  const std::string path = platform::fileSys().filePath(platform::HelpDir, "Help.html");
  const platform::ShellResult r = platform::openWithDefault(path);
  if (!r.ok) platform::tell(r.message, "Info", platform::MessageIcon::Error);
}
