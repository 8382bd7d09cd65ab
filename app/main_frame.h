#pragma once
// The main window: menus, status bar, the options bar and the drawing and
// fill toolbars around the plan view of the open project (or the splash
// view while none is open); the project commands, the report commands and
// the autosave timer.

#include <QDialog>
#include <QMainWindow>
#include <QPointer>

#include "hydraulics/coverage.h"
#include "hydraulics/pipe_sizing.h"
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "editing/undo_history.h"
#include "reports/reports.h"

class QAction;
class QActionGroup;
class QLabel;
class QStackedWidget;
class QTimer;
class QPrinter;
class CChildView;
class CMainToolBar;
class CPlovSysToolbar;
class CProjWnd;
class CPrimitive;
class CWBase;

// The command ids of the menu and the drawing toolbar.
enum FrameCommand {
  kCmdNew = 32771,
  kCmdOpen = 32772,
  kCmdSave = 32773,
  kCmdSaveAs = 32855,
  kCmdClose = 32856,
  kCmdPrintPreview = 32828,
  kCmdPrint = 32829,
  kCmdProperties = 32781,
  kCmdExit = 57665,
  kCmdStatusBar = 59393,
  kCmdPreferences = 32776,
  kCmdGrid = 32782,
  kCmdBrowse = 32778,
  kCmdSets = 32779,
  kCmdMultiplier = 32927,
  kCmdVat = 32925,
  kCmdExtraElements = 32885,
  kCmdSectionsOpen = 32888,
  kCmdSectionsSave = 32886,
  kCmdSectionsPrint = 32887,
  kCmdSummaryOpen = 32820,
  kCmdSummarySave = 32780,
  kCmdSummaryPrint = 32819,
  kCmdInfoOpen = 32897,
  kCmdInfoSave = 32894,
  kCmdInfoPrint = 32895,
  kCmdHelp = 57670,
  kCmdAbout = 57664,
  kCmdUndo = 57643,
  kCmdRedo = 57644,
  kCmdOpenNamed = 32901,
  // exports of the reports for other programs
  kCmdSectionsCsv = 33001,
  kCmdSectionsPdf = 33002,
  kCmdSummaryCsv = 33003,
  kCmdSummaryPdf = 33004,
  kCmdInfoPdf = 33005,
  // the watering analysis
  kCmdCoverageMap = 33010,
  kCmdCoverageAnalysis = 33011,
  // the pipe network
  kCmdNetworkAnalysis = 33012,
  kCmdNetworkMap = 33013,
  // automatic design
  kCmdLayOutSelected = 33021,
  kCmdAutoZonesMenu = 33022,
  kCmdRoutePipes = 33023,
  kCmdDesign = 33024,
  // drawing toolbar
  kCmdCircle = 32783,
  kCmdEllipse = 32823,
  kCmdRectangle = 32784,
  kCmdArea = 32785,
  kCmdPolyline = 32824,
  kCmdText = 32786,
  kCmdRaster = 32791,
  kCmdDimension = 32789,
  kCmdPan = 32900,
  kCmdEdit = 32787,
  kCmdSelect = 32792,
  kCmdToolUndo = 32794,
  kCmdToolRedo = 32795,
  kCmdSections = 32796,
  kCmdSystemParameters = 32853,
};

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  CMainFrame();
  ~CMainFrame() override;

  // The open project's plan view, or null.
  CProjWnd* view() const { return view_; }
  CMUndo& undoHistory() { return undo_; }
  CMainToolBar* optionsBar() const { return options_; }
  CPlovSysToolbar* equipmentPalette() const { return palette_; }
  // The action of a command id (menus and toolbars), or null.
  QAction* action(int id) const;
  // The text of the status bar's first pane.
  QString statusMessage() const;

  // The project named on the command line, opened by command 32901.
  QString projectToOpen;
  void runCommand(int id);

  // --- project commands -----------------------------------------------------------
  void newProject();
  void openProject();
  // Opens `path` as Open does after its dialog. False when it did not open.
  bool openProjectFile(const QString& path);
  bool save();
  bool saveAs();
  void closeProject();
  // The save prompt: false when the user cancelled (or a save did not happen).
  bool savePrompt();
  // Runs the autosave check of the timer now.
  void autosaveTick();

  // The printer the print command uses: by default Qt's print dialog; false
  // when the user cancelled. (Tests put a printer of their own here.)
  std::function<bool(QPrinter& printer, QWidget* parent)> choosePrinter;
  // "Pogląd wydruku" and "Drukuj".
  void printPreview();
  void printCommand();
  // Prints the sheet at 1:`scale` on the printer the user chooses.
  void printSheet(int scale, QWidget* parent);

  // The terrain tool state of the drawing and fill toolbars.
  void applyTerrainTool(bool cancel);
  void clearToolButtons();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildMenus();
  void buildToolbars();
  void buildStatusBar();
  QAction* addCommand(QMenu* menu, int id, const QString& text, const QKeySequence& key = {}, bool available = true);
  void updateTitle();
  void updateCommandStates();
  void setStatus(const QString& text);
  // Replaces the open project's view by one for the document now in the model.
  void installDocument();
  void releaseProject();
  void afterProjectMade();
  // Loads the document's background image into the view; false (told) when
  // it cannot be read.
  bool loadBackground();
  // "Wstaw obraz rastrowy" and the scaling dialog it may open.
  void insertBackground();
  void openScaling();
  bool scalingOpen() const;
  void transformShape(CPrimitive* shape);
  void placeAtPlanCorner(QWidget* dialog);
  // Whether a project is open; told plainly when none is.
  bool projectOrTell();
  // The designer's dialogs.
  void sectionsDialog();
  void systemParameters();
  // "Analiza nawadniania" and the "Mapa opadu" switch.
  void coverageAnalysis();
  void switchCoverageMap();
  void networkAnalysis();
  void switchNetworkMap();
  // Puts a pipe sizing into the plan as one step of its history.
  void applySizing(const network::SizingResult& sizing);
  // Selects object `index` and brings it into the view.
  void showObject(int index);
  // "Podziel na sekcje automatycznie": the heads into sections, one step of
  // the history with the section table.
  void autoZones();
  // "Rozmieść zraszacze" on the area selected on the plan.
  void layOutSelected();
  // "Poprowadź rury": valves, laterals and the main, sized, as one step.
  void routePipes();
  // "Zaprojektuj automatycznie": heads, sections, pipes and sizes as one step.
  void designAutomatically();
  // "Rozmieść zraszacze" of an area: rotary sprinklers laid out in it, one
  // step of the history.
  void layOutHeads(CPrimitive* area);
  void paletteDialog(int buttonId);
  void preferences();
  void projectProperties();
  void priceValue(bool vat);
  void connectionSets();
  void extraElements();
  // A save to `path` with the user told of a failure; true when written.
  bool writeProject(const QString& path);
  QString chooseSaveName(const QString& title, const QString& suggestion, const QString& filter,
                         const QString& suffix);
  void terrainToolCommand(int id, int tool);
  void fillCommand(int id, int kind);
  void reportCommand(reports::ReportKind kind, int use);
  // "Eksportuj CSV" / "Eksportuj PDF": the file chosen, written and opened.
  void exportCommand(reports::ReportKind kind, reports::ExportFormat format);
  void openHelp();
  void undoCommand(bool redo);
  void gridSettings();
  void editFill(CPrimitive* shape);
  void rotateLabel(CWBase* object);
  void editText(CWBase* object);
  void placeText(platform::Point at);
  void sourceParameters();
  void paletteTool(int buttonId, int tool);
  void reduceRadius(CWBase* object);
  void objectList();

  CMUndo undo_;
  CProjWnd* view_ = nullptr;
  CChildView* splash_ = nullptr;
  QStackedWidget* centre_ = nullptr;
  CMainToolBar* options_ = nullptr;
  CPlovSysToolbar* palette_ = nullptr;
  QTimer* timer_ = nullptr;
  QLabel* pane0_ = nullptr;
  QLabel* panePointer_ = nullptr;
  QLabel* paneZoom_ = nullptr;
  QLabel* paneScale_ = nullptr;
  std::map<int, QAction*> actions_;
  QActionGroup* fillGroup_ = nullptr;
  QPointer<QDialog> reduction_;
  QPointer<QDialog> objectList_;
  QPointer<QDialog> scaling_;
  QPointer<QDialog> sections_;
  QPointer<QDialog> pipeDialog_;
  QPointer<QDialog> cableDialog_;
  QPointer<QDialog> coverage_;
  QPointer<QDialog> network_;
  // What the map and the analysis are made with (kept between projects).
  CoverageOptions coverageOptions_;
  QPointer<QWidget> preview_;
};
