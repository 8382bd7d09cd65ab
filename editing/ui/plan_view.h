#pragma once
// The plan view: the open project drawn double-buffered with its scroll
// origin, zoom, grid and tools, and the mouse, keys and context menus that
// edit it. The document lives inside the view for as long as the project is
// open.

#include <QAbstractScrollArea>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <functional>
#include <memory>

#include "document/graphic_plane.h"
#include "document/plan_painter.h"
#include "editing/plan_editor.h"
#include "editing/undo_history.h"
#include "hydraulics/coverage.h"

class QMenu;

class CProjWnd : public QAbstractScrollArea, public PlanViewLink {
  Q_OBJECT
 public:
  // Shows and edits `doc`, which the application owns and which outlives
  // the view's use of it; `undo` is the frame's history.
  CProjWnd(CGraphicPlane& doc, CMUndo& undo, QWidget* parent = nullptr);
  ~CProjWnd() override;

  CGraphicPlane& document() { return *doc_; }
  // Takes the view's links out of the document (before the view goes while
  // the document stays).
  void detachDocument();
  PlanEditor& editor() { return editor_; }
  PlanViewState& state() { return state_; }

  // --- display switches -----------------------------------------------------------
  void setGridShown(bool on);
  void setSnapToGrid(bool on) { state_.snapToGrid = on; }
  void setHideBackground(bool on);
  void setEditFilter(int filter);
  // The precipitation map over the terrain: of the whole system (section -1)
  // or of one section, made again whenever the plan has changed.
  void setCoverageShown(bool on, int section = -1);
  void setCoverageOptions(const CoverageOptions& options);
  bool coverageShown() const { return coverageShown_; }
  int coverageSection() const { return coverageSection_; }
  // The pipe network's velocities and pressures over the plan, solved again
  // whenever the pipes or the heads have changed.
  void setNetworkShown(bool on);
  bool networkShown() const { return networkShown_; }
  const NetworkOverlay* networkOverlay() const { return state_.network; }
  // Repaints the whole plan (after a change of the model).
  void refresh();
  // The background image shown under the plan, or none.
  void setBackground(std::shared_ptr<const platform::Image> image);
  std::shared_ptr<const platform::Image> background() const { return background_; }

  // --- scroll and zoom ---------------------------------------------------------------
  // Origin of the plan on the screen, in pixels: a plan pixel p is at p + origin.
  platform::Point scrollOrigin() const { return state_.scroll; }
  void setScrollOrigin(platform::Point origin);
  // Zooms to `z`, keeping the middle of the view where it is. Nothing happens
  // while panning or when `z` is the zoom already. Returns whether it zoomed.
  bool applyZoom(double z);
  // Origin 0 and the zoom list's 100 % (the frame's part of the Home key).
  void resetOrigin();
  bool panning() const { return panning_; }
  // A press, drag or line is in progress.
  bool busy() const { return leftHeld_ || panning_ || editor_.drawingLine() || editor_.dragging(); }
  // The scroll ranges: -e to e with e from the background's size and the zoom.
  void updateScrollRanges();
  int scrollRange() const { return scrollRange_; }

  // --- tools ---------------------------------------------------------------------------
  void setTool(int code);
  int selectMode() const { return editor_.selectMode; }
  void setSelectMode(int m) { editor_.selectMode = m; }
  void cancelTool();

  // Below this zoom objects smaller than kDotPixels both ways are drawn as
  // dots; labels lower than kMinTextPixels are never drawn on the screen.
  static constexpr double kOverviewZoom = 0.5;
  static constexpr int kDotPixels = 8;
  static constexpr int kMinTextPixels = 4;

  // --- flags of the frame's save prompt ------------------------------------------------
  bool modified = false;
  bool saved = false;

  // --- PlanViewLink --------------------------------------------------------------------
  bool snapToGrid() const override { return state_.snapToGrid != 0; }
  void movePointerTo(platform::Point p) override { editor_.pointerMovedTo(p); }

  // The last right click, in plan-view pixels (the paste point).
  platform::Point menuPoint() const { return menuPoint_; }
  // An outline drawn over the plan (plan-view pixels), closed or open; an
  // empty list takes it away.
  void setOutline(std::vector<platform::Point> vertices, bool closed);
  const std::vector<platform::Point>& outline() const { return outline_; }
  // Heads a dialog previews, drawn in outline with their throws (plan units).
  struct PreviewHead {
    PointD at;
    double radiusU = 0;
    std::vector<PointD> outline;  // what it waters, closed; the circle of radiusU without one
    bool closed = true;           // false: a pipe's run, drawn open without a head mark
    platform::Colour colour = 0;  // 0: the preview's blue
  };
  void setPreviewHeads(std::vector<PreviewHead> heads);
  const std::vector<PreviewHead>& previewHeads() const { return previewHeads_; }
  // Renders the plan now into the back buffer (tests and benchmarks).
  void renderNow();
  const QImage& backBuffer() const { return buffer_; }

 signals:
  void statusText(const QString& text);
  // The plan point under the pointer, in metres on the ground.
  void pointerAt(double xMetres, double yMetres);
  void zoomInRequested();
  void zoomOutRequested();
  void zoomResetRequested();
  void orthoChanged(bool on);
  void zoomed();
  // The dialogs of one object, opened by the frame: the fill kind of a shape,
  // the turn of a label, the settings of a text, and a new text at a point.
  void fillKindRequested(CPrimitive* shape);
  // "Transformuj" of an area or polyline.
  void transformRequested(CPrimitive* shape);
  // "Rozmieść zraszacze" of an area.
  void layoutRequested(CPrimitive* shape);
  void labelRotationRequested(CWBase* object);
  void textEditRequested(CWBase* text);
  void textPlacementRequested(platform::Point at);
  void sourceParametersRequested();
  void reductionRequested(CWBase* object);
  void gridToggled(bool on);
  void changed();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  // Runs `f` with the editor drawing its feedback on the back buffer, then
  // repaints as the editor asks.
  void withCanvas(const std::function<void()>& f);
  void ensureBuffer();
  void render();
  // On a large plan the painting is shared with a second thread, which
  // draws its part on `layer_`, laid over the buffer when both are done.
  bool paintUnderObjects(QPainter& painter, platform::Canvas& canvas);
  void paintObjectsShared(QPainter& painter, platform::Canvas& canvas);
  void prepareLayer();
  void overlayLayer(QPainter& painter);
  void invalidate();
  platform::Point planPoint(QPoint client) const;
  void showContextMenu(PlanMenu menu, QPoint global);
  void updateCursor();
  void startPanAt(QPoint client);
  void endPan();
  void rememberRange();
  // The selected object's label can be turned (lines and dimensions).
  bool labelTurns() const;
  void requestFill();
  void requestTransform();
  void requestRotation();
  void requestTextEdit();
  void requestReduction();

  CGraphicPlane* doc_;
  CMUndo& undo_;
  PlanViewState state_;
  PlanEditor editor_;
  std::shared_ptr<const platform::Image> background_;
  std::vector<platform::Point> outline_;
  std::vector<PreviewHead> previewHeads_;
  bool outlineClosed_ = true;

  QImage buffer_;
  QImage layer_;  // the second thread's share of the objects
  double split_ = 0.5;  // the first thread's share of the object list
  bool bufferValid_ = false;
  int scrollRange_ = 5000;
  bool ignoreScroll_ = false;

  // Panning: the press point and origin it started from, and the picture of
  // the plan that moves with the pointer until the button is let go.
  bool panning_ = false;
  QPoint panPress_;
  platform::Point panOrigin_;
  int panNoFill_ = 0;
  bool leftHeld_ = false;

  // V held: the pan tool stands in for `heldTool_`; M held: snapping.
  bool panHeld_ = false;
  int heldTool_ = 0;
  bool snapHeld_ = false;
  bool orthoHeld_ = false;  // ORTO is on because Ctrl is held
  int snapBefore_ = 0;

  platform::Point menuPoint_;

  // The precipitation map and what it was made of.
  void updateCoverage();
  bool coverageShown_ = false;
  int coverageSection_ = -1;
  CoverageOptions coverageOptions_;
  CoverageOverlay overlay_;
  unsigned long long overlayKey_ = 0;
  bool overlayValid_ = false;
  bool overlayTried_ = false;

  // The network's overlay and what it was made of.
  void updateNetwork();
  bool networkShown_ = false;
  NetworkOverlay network_;
  unsigned long long networkKey_ = 0;
  bool networkTried_ = false, networkValid_ = false;
};
