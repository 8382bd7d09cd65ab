#include "editing/ui/plan_view.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <chrono>
#include <thread>

#include "hydraulics/coverage.h"
#include "hydraulics/network.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "platform/canvas_qpainter.h"
#include "platform/qt_text.h"

using platform::Point;

namespace {

// Menu texts and the commands they stand for.
struct MenuItem {
  int command;
  const char* text;
  bool available;  // the dialog behind it exists
};

// The commands of the context menus.
enum ContextCommand {
  kCmdToggleLabel = 32808,
  kCmdDeleteObject = 32809,
  kCmdDeletePrimitive = 32815,
  kCmdTransform = 32814,
  kCmdFillKind = 32858,
  kCmdReduceRadius = 32818,
  kCmdRememberRange = 32875,
  kCmdRotateLabel = 32825,
  kCmdEditText = 32827,
  kCmdSourceParameters = 32899,
  kCmdCopy = 32864,
  kCmdPaste = 32863,
  kCmdClearClipboard = 32869,
  kCmdLayOutHeads = 33020,
};

std::vector<MenuItem> menuItems(PlanMenu menu) {
  switch (menu) {
    case kMenuLine:
      return {{kCmdRotateLabel, "Obróć opis", true}, {kCmdToggleLabel, "Ukryj/Pokaż opis", true},
              {kCmdCopy, "Kopiuj...", true}, {kCmdDeleteObject, "Usuń obiekt", true}};
    case kMenuText:
      return {{kCmdEditText, "Edytuj", true}, {kCmdCopy, "Kopiuj...", true}, {kCmdDeleteObject, "Usuń obiekt", true}};
    case kMenuWaterSource:
      return {{kCmdSourceParameters, "Zmien parametry", true}, {kCmdToggleLabel, "Ukryj/Pokaż opis", true},
              {kCmdCopy, "Kopiuj...", true}, {kCmdDeleteObject, "Usuń obiekt", true}};
    case kMenuSprinkler:
      return {{kCmdToggleLabel, "Ukryj/Pokaż opis", true}, {kCmdCopy, "Kopiuj...", true},
              {kCmdRememberRange, "Zapamiętaj zakres zraszania", true},
              {kCmdReduceRadius, "Redukuj promień zraszania", true}, {kCmdDeleteObject, "Usuń obiekt", true}};
    case kMenuObject:
      return {{kCmdToggleLabel, "Ukryj/Pokaż opis", true}, {kCmdCopy, "Kopiuj...", true},
              {kCmdDeleteObject, "Usuń obiekt", true}};
    case kMenuArea:
      return {{kCmdTransform, "Transformuj", true}, {kCmdCopy, "Kopiuj...", true},
              {kCmdFillKind, "Przypisz/Zmień rodzaj wypełnienia", true},
              {kCmdLayOutHeads, "Rozmieść zraszacze", true}, {kCmdDeletePrimitive, "Usuń obiekt", true}};
    case kMenuShape:
      return {{kCmdFillKind, "Przypisz/Zmień rodzaj wypełnienia", true}, {kCmdCopy, "Kopiuj...", true},
              {kCmdLayOutHeads, "Rozmieść zraszacze", true}, {kCmdDeletePrimitive, "Usuń obiekt", true}};
    case kMenuPaste:
      return {{kCmdPaste, "Wklej..", true}, {kCmdClearClipboard, "Wyczyść schowek", true}};
    default: return {};
  }
}

}  // namespace

CProjWnd::CProjWnd(CGraphicPlane& doc, CMUndo& undo, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(&doc), undo_(undo), editor_(doc, undo, state_) {
  setObjectName("planView");
  setAccessibleName("Plan");
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAttribute(Qt::WA_NoSystemBackground);
  viewport()->setFocusProxy(this);
  doc_->undo = &undo_;
  doc_->requestRepaint = [this] { invalidate(); };
  app().planView = this;
  undo_.onModified = [this] {
    modified = true;
    emit changed();
  };
  updateScrollRanges();
  updateCursor();
}

CProjWnd::~CProjWnd() {
  // Dialogs that work on the view (the scaling dialog) go while it is whole.
  qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
  // The document may be gone already (another project was opened in its
  // place): only the view's own links are taken down here.
  undo_.onModified = nullptr;
  if (app().planView == this) app().planView = nullptr;
  // The history refers to the document's objects.
  undo_.clearAll();
}

void CProjWnd::detachDocument() {
  doc_->undo = nullptr;
  doc_->requestRepaint = nullptr;
  doc_->dc = nullptr;
  for (const auto& p : doc_->terrain()) p->dc = nullptr;
  for (const auto& o : doc_->objects()) o->dc = nullptr;
}

// --- switches --------------------------------------------------------------------

void CProjWnd::setGridShown(bool on) {
  state_.gridShown = on;
  invalidate();
}

void CProjWnd::setHideBackground(bool on) {
  state_.hideBackground = on;
  invalidate();
}

void CProjWnd::setCoverageShown(bool on, int section) {
  if (coverageShown_ == on && coverageSection_ == section) return;
  coverageShown_ = on;
  coverageSection_ = section;
  overlayTried_ = overlayValid_ = false;
  invalidate();
}

void CProjWnd::setCoverageOptions(const CoverageOptions& options) {
  coverageOptions_ = options;
  overlayTried_ = overlayValid_ = false;
  if (coverageShown_) invalidate();
}

void CProjWnd::updateCoverage() {
  state_.coverage = nullptr;
  if (!coverageShown_) return;
  const unsigned long long key = coverageFingerprint(*doc_);
  if (!overlayTried_ || key != overlayKey_) {
    CoverageOptions options = coverageOptions_;
    options.mapSection = coverageSection_;
    const CoverageResult r = analyseCoverage(*doc_, options);
    // A refused map is not tried again until the plan or the options change.
    overlayTried_ = true;
    overlayValid_ = r.ok;
    overlayKey_ = key;
    if (!r.ok) {
      emit statusText(QString::fromStdString(r.error));
      return;
    }
    overlay_ = makeCoverageOverlay(r, coverageSection_ < 0 ? std::string("Opad: wszystkie sekcje")
                                                           : "Opad: sekcja " + std::to_string(coverageSection_ + 1));
  }
  if (overlayValid_) state_.coverage = &overlay_;
}

void CProjWnd::setNetworkShown(bool on) {
  if (networkShown_ == on) return;
  networkShown_ = on;
  networkTried_ = networkValid_ = false;
  invalidate();
}

void CProjWnd::updateNetwork() {
  state_.network = nullptr;
  if (!networkShown_) return;
  const unsigned long long key = network::fingerprint(*doc_);
  if (!networkTried_ || key != networkKey_) {
    network::Options options;
    options.sectionCount = sectionList().count();
    const network::Result r = network::analyse(*doc_, application().sets.get(), options);
    networkTried_ = true;
    networkKey_ = key;
    networkValid_ = r.ok;
    if (!r.ok) {
      emit statusText(platform::toQString(r.error));
      return;
    }
    network_ = makeNetworkOverlay(r, *doc_);
  }
  if (networkValid_) state_.network = &network_;
}

void CProjWnd::setEditFilter(int filter) {
  state_.editFilter = std::clamp(filter, 0, 2);
  // A selection of the kind the filter now leaves alone would block the other tools.
  if (state_.editFilter == 1) doc_->selected = nullptr;
  invalidate();
}

void CProjWnd::refresh() { invalidate(); }

void CProjWnd::setBackground(std::shared_ptr<const platform::Image> image) {
  background_ = std::move(image);
  state_.background = background_.get();
  updateScrollRanges();
  invalidate();
}

void CProjWnd::invalidate() {
  bufferValid_ = false;
  viewport()->update();
}

// --- scroll and zoom ----------------------------------------------------------------

void CProjWnd::setScrollOrigin(Point origin) {
  state_.scroll = origin;
  invalidate();
}

void CProjWnd::updateScrollRanges() {
  double e = 0;
  if (background_) e = std::max(background_->width, background_->height);
  e = e > 5000 ? e * 1.3 : 5000;
  scrollRange_ = static_cast<int>(std::max(doc_->zoom, 1.0) * e);
  ignoreScroll_ = true;
  for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
    bar->setRange(-scrollRange_, scrollRange_);
    bar->setPageStep(std::max(1, viewport()->width() / 2));
    bar->setSingleStep(20);
    bar->setValue(0);
  }
  ignoreScroll_ = false;
}

void CProjWnd::scrollContentsBy(int dx, int dy) {
  if (ignoreScroll_) return;
  state_.scroll.x += dx;
  state_.scroll.y += dy;
  invalidate();
}

bool CProjWnd::applyZoom(double z) {
  // Not while panning or dragging: the points held are pixels of this zoom.
  if (panning_ || leftHeld_ || z == doc_->zoom || !(z > 0)) return false;
  // The plan point in the middle of the view stays in the middle.
  const double hw = viewport()->width() / 2, hh = viewport()->height() / 2;
  const double old = doc_->zoom;
  const double ux = (hw - state_.scroll.x) / old, uy = (hh - state_.scroll.y) / old;
  state_.scroll = {static_cast<int>(std::lround(hw - ux * z)), static_cast<int>(std::lround(hh - uy * z))};
  doc_->setZoom(static_cast<float>(z));
  doc_->zoom = z;
  // A line being drawn goes on at the new zoom.
  if (doc_->toolPrimitive) doc_->toolPrimitive->Rescale(static_cast<float>(z));
  if (doc_->toolObject) doc_->toolObject->Rescale(static_cast<float>(z));
  updateScrollRanges();
  invalidate();
  emit zoomed();
  return true;
}

void CProjWnd::resetOrigin() {
  state_.scroll = {};
  invalidate();
}

// --- tools -------------------------------------------------------------------------------

void CProjWnd::setTool(int code) {
  doc_->tool = code;
  updateCursor();
}

void CProjWnd::cancelTool() {
  withCanvas([&] { editor_.cancel(); });
}

void CProjWnd::updateCursor() {
  if (doc_->tool == kToolPan)
    viewport()->setCursor(leftHeld_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
  else
    viewport()->setCursor(Qt::CrossCursor);
}

// --- painting ------------------------------------------------------------------------------

void CProjWnd::ensureBuffer() {
  const qreal dpr = viewport()->devicePixelRatioF();
  const QSize size = viewport()->size() * dpr;
  if (buffer_.size() != size || buffer_.devicePixelRatio() != dpr) {
    buffer_ = QImage(size.expandedTo({1, 1}), QImage::Format_RGB32);
    buffer_.setDevicePixelRatio(dpr);
    bufferValid_ = false;
  }
  if (!bufferValid_) render();
}

void CProjWnd::render() {
  state_.client = {viewport()->width(), viewport()->height()};
  QPainter painter(&buffer_);
  platform::QPainterCanvas canvas(painter);
  // On the screen what lies outside the view is not drawn, letters too small
  // to read are left out and, in the overview zooms, objects smaller than a
  // few pixels become dots of their colour.
  doc_->cullRect = {0, 0, state_.client.cx, state_.client.cy};
  doc_->dotPixels = doc_->zoom < kOverviewZoom ? kDotPixels : 0;
  doc_->minTextPixels = kMinTextPixels;
  updateCoverage();
  updateNetwork();
  if (paintUnderObjects(painter, canvas)) {
    paintObjectsShared(painter, canvas);
    if (state_.network) paintNetworkOverlay(*doc_, canvas, *state_.network);
    paintCoverageLegend(canvas, state_);
  }
  doc_->cullRect = {};
  doc_->dotPixels = doc_->minTextPixels = 0;
  if (CPrimitive* prim = editor_.selectedPrimitive(); prim && !prim->deleted) {
    prim->dc = &canvas;
    prim->viewOrgX = state_.scroll.x;
    prim->viewOrgY = state_.scroll.y;
    prim->DrawHighlight();
  }
  editor_.setCanvas(&canvas);
  editor_.redrawFeedback();
  editor_.setCanvas(nullptr);
  bufferValid_ = true;
}

bool CProjWnd::paintUnderObjects(QPainter& painter, platform::Canvas& canvas) {
  if (!state_.gridShown || doc_->objects().size() < 2000 || std::thread::hardware_concurrency() < 2)
    return paintPlanUnderObjects(*doc_, canvas, state_);
  // The grid on its own layer while the terrain is drawn, then laid over it.
  prepareLayer();
  PlanViewState withoutGrid = state_;
  withoutGrid.gridShown = 0;
  std::thread grid([this] {
    QPainter p(&layer_);
    platform::QPainterCanvas c(p);
    c.setViewportOrigin(state_.scroll);
    paintGrid(*doc_, c, state_);
  });
  const bool objects = paintPlanUnderObjects(*doc_, canvas, withoutGrid);
  grid.join();
  if (objects) overlayLayer(painter);
  return objects;
}

void CProjWnd::prepareLayer() {
  if (layer_.size() != buffer_.size() || layer_.devicePixelRatio() != buffer_.devicePixelRatio()) {
    layer_ = QImage(buffer_.size(), QImage::Format_ARGB32_Premultiplied);
    layer_.setDevicePixelRatio(buffer_.devicePixelRatio());
  }
  layer_.fill(Qt::transparent);
}

void CProjWnd::overlayLayer(QPainter& painter) {
  painter.save();
  painter.resetTransform();
  painter.setClipping(false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(QPoint(0, 0), layer_);
  painter.restore();
}

void CProjWnd::paintObjectsShared(QPainter& painter, platform::Canvas& canvas) {
  CGraphicPlane& doc = *doc_;
  doc.dc = &canvas;
  const size_t n = doc.objects().size();
  // A large plan is drawn by two threads: the second half of the list on a
  // layer of its own, laid over the first half after each pass, so that
  // what is drawn later still lies on top.
  if (n < 2000 || std::thread::hardware_concurrency() < 2) {
    doc.paintObjects(canvas);
    return;
  }
  const size_t half = static_cast<size_t>(n * split_);
  double split = split_;
  const platform::Point origin = canvas.viewportOrigin();
  auto shared = [&](auto pass, bool learn) {
    prepareLayer();
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    double secondMs = 0;
    std::thread second([&] {
      QPainter p(&layer_);
      platform::QPainterCanvas c(p);
      c.setViewportOrigin(origin);
      pass(c, half, n);
      secondMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    });
    pass(canvas, 0, half);
    const double firstMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    second.join();
    // The next picture moves the split toward the thread that was done
    // first, so that both finish together.
    const double f = static_cast<double>(half) / n;
    if (learn && firstMs > 1 && secondMs > 1) {
      const double rateFirst = firstMs / f, rateSecond = secondMs / (1 - f);
      split = std::clamp(0.5 * split + 0.5 * rateSecond / (rateFirst + rateSecond), 0.2, 0.8);
    }
    overlayLayer(painter);
  };
  shared([&](platform::Canvas& c, size_t a, size_t b) { doc.paintBodies(c, a, b); }, true);
  if (doc.showLabels) {
    // The labels' places are decided over the whole list before it is shared out.
    doc.layoutLabels(canvas);
    shared([&](platform::Canvas& c, size_t a, size_t b) { doc.paintLabels(c, a, b); }, false);
  }
  if (doc.showFlows && doc.labelsReadable())
    shared([&](platform::Canvas& c, size_t a, size_t b) { doc.paintFlows(c, a, b); }, false);
  split_ = split;
  doc.paintSelection(canvas);
}

void CProjWnd::renderNow() {
  bufferValid_ = false;
  ensureBuffer();
}

void CProjWnd::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  if (panning_) {
    // While the plan moves with the pointer, the last picture moves with it;
    // the plan is drawn anew when the button is let go.
    const QPoint shift(state_.scroll.x - panOrigin_.x, state_.scroll.y - panOrigin_.y);
    p.fillRect(viewport()->rect(), platform::toQColor(app().settings.backgroundColour));
    p.drawImage(shift, buffer_);
    return;
  }
  ensureBuffer();
  p.drawImage(0, 0, buffer_);
  if (!previewHeads_.empty()) {
    // The heads a layout would place, in outline over the plan.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(state_.scroll.x, state_.scroll.y);
    p.setBrush(Qt::NoBrush);
    const double z = doc_->zoom;
    for (const PreviewHead& h : previewHeads_) {
      const QColor colour = h.colour ? platform::toQColor(h.colour) : QColor(0, 100, 255);
      if (!h.closed) {
        // A pipe's run, solid.
        p.setPen(QPen(colour, 3));
        QPolygonF run;
        for (const PointD& v : h.outline) run << QPointF(v.x * z, v.y * z);
        p.drawPolyline(run);
        continue;
      }
      p.setPen(QPen(QColor(colour.red(), colour.green(), colour.blue(), 160), 1, Qt::DashLine));
      if (h.outline.size() >= 3) {
        QPolygonF poly;
        for (const PointD& v : h.outline) poly << QPointF(v.x * z, v.y * z);
        p.drawPolygon(poly);
      } else {
        p.drawEllipse(QPointF(h.at.x * z, h.at.y * z), h.radiusU * z, h.radiusU * z);
      }
      p.setPen(QPen(QColor(0, 60, 200), 2));
      p.drawEllipse(QPointF(h.at.x * z, h.at.y * z), 3, 3);
    }
    p.resetTransform();
  }
  if (outline_.size() >= 2) {
    // The outline a dialog previews, over the plan (never part of it).
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(platform::toQColor(0x0064FF), 2));
    p.translate(state_.scroll.x, state_.scroll.y);
    QPolygon poly;
    for (const Point& v : outline_) poly << QPoint(v.x, v.y);
    if (outlineClosed_) p.drawPolygon(poly);
    else p.drawPolyline(poly);
  }
}

void CProjWnd::setPreviewHeads(std::vector<PreviewHead> heads) {
  previewHeads_ = std::move(heads);
  viewport()->update();
}

void CProjWnd::setOutline(std::vector<Point> vertices, bool closed) {
  outline_ = std::move(vertices);
  outlineClosed_ = closed;
  viewport()->update();
}

void CProjWnd::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
    bar->setPageStep(std::max(1, viewport()->width() / 2));
  bufferValid_ = false;
}

void CProjWnd::withCanvas(const std::function<void()>& f) {
  if (panning_) {
    f();
    return;
  }
  // A repaint asked for outside an event (a command of the frame) is done
  // first, so that none comes between a press and its drag.
  if (editor_.takeRepaintRequest()) bufferValid_ = false;
  ensureBuffer();
  {
    QPainter painter(&buffer_);
    platform::QPainterCanvas canvas(painter);
    editor_.setCanvas(&canvas);
    f();
    editor_.setCanvas(nullptr);
    doc_->dc = nullptr;
  }
  if (editor_.takeRepaintRequest()) bufferValid_ = false;
  viewport()->update();
}

// --- mouse ------------------------------------------------------------------------------------

Point CProjWnd::planPoint(QPoint client) const { return {client.x() - state_.scroll.x, client.y() - state_.scroll.y}; }

void CProjWnd::mousePressEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    if (!viewport()->rect().contains(at)) return;
    setFocus(Qt::MouseFocusReason);
    leftHeld_ = true;
    saved = false;
    updateCursor();
    if (doc_->tool == kToolPan) {
      startPanAt(at);
      return;
    }
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    withCanvas([&] { editor_.leftDown(planPoint(at), {shift}); });
    // A text is placed where the press landed (snapped), through its dialog.
    if (doc_->tool == kTypeText && state_.editFilter != 1) {
      leftHeld_ = false;
      emit textPlacementRequested(editor_.pressPoint());
    }
  } else if (e->button() == Qt::RightButton) {
    PlanMenu menu = kMenuNone;
    withCanvas([&] { menu = editor_.rightDown(planPoint(at)); });
    menuPoint_ = editor_.pressPoint();
    if (menu != kMenuNone) showContextMenu(menu, e->globalPosition().toPoint());
  }
}

void CProjWnd::startPanAt(QPoint client) {
  panPress_ = client;
  panOrigin_ = state_.scroll;
}

void CProjWnd::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  emit statusText(QString::fromUtf8(toolStatusText(doc_->tool, editor_.selectMode).c_str()));
  const Point p = planPoint(at);
  emit pointerAt(planUnitsToMetres(p.x / doc_->zoom, doc_->scaleDenominator, doc_->pixelsPerCm),
                 planUnitsToMetres(p.y / doc_->zoom, doc_->scaleDenominator, doc_->pixelsPerCm));
  const bool held = e->buttons() & Qt::LeftButton;
  if (doc_->tool == kToolPan) {
    if (held && leftHeld_) {
      if (!panning_) {
        ensureBuffer();
        panning_ = true;
        panNoFill_ = doc_->noFill;
        doc_->noFill = 1;
      }
      state_.scroll = {panOrigin_.x + at.x() - panPress_.x(), panOrigin_.y + at.y() - panPress_.y()};
      viewport()->update();
    } else if (panning_) {
      endPan();
    }
    return;
  }
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  withCanvas([&] { editor_.mouseMove(p, held, {shift}); });
}

void CProjWnd::endPan() {
  panning_ = false;
  doc_->noFill = panNoFill_;
  updateCursor();
  invalidate();
}

void CProjWnd::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  leftHeld_ = false;
  if (panning_) {
    endPan();
    return;
  }
  updateCursor();
  withCanvas([&] { editor_.leftUp(planPoint(e->position().toPoint())); });
}

void CProjWnd::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  // Turning the wheel toward the user zooms in, away zooms out.
  if (delta < 0) emit zoomInRequested();
  else if (delta > 0) emit zoomOutRequested();
  e->accept();
}

// --- keys ------------------------------------------------------------------------------------

void CProjWnd::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Control:
      if (!e->isAutoRepeat()) {
        orthoHeld_ = true;
        app().orthoOn = 1;
        emit orthoChanged(true);
        invalidate();
      }
      return;
    case Qt::Key_Escape:
      cancelTool();
      invalidate();
      return;
    case Qt::Key_PageUp: emit zoomInRequested(); return;
    case Qt::Key_PageDown: emit zoomOutRequested(); return;
    case Qt::Key_Home:
      emit zoomResetRequested();
      invalidate();
      return;
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down: {
      const int dx = e->key() == Qt::Key_Left ? -1 : e->key() == Qt::Key_Right ? 1 : 0;
      const int dy = e->key() == Qt::Key_Up ? -1 : e->key() == Qt::Key_Down ? 1 : 0;
      QCursor::setPos(QCursor::pos() + QPoint(dx, dy));
      return;
    }
    case Qt::Key_Delete:
      withCanvas([&] { editor_.deleteSelection(); });
      return;
    case Qt::Key_D:
      withCanvas([&] { editor_.toggleLabel(); });
      return;
    case Qt::Key_W: requestFill(); return;
    case Qt::Key_T: requestTransform(); return;
    case Qt::Key_O: requestRotation(); return;
    case Qt::Key_E: requestTextEdit(); return;
    case Qt::Key_R: requestReduction(); return;
    case Qt::Key_G:
      if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) break;
      state_.gridShown = !state_.gridShown;
      emit gridToggled(state_.gridShown);
      invalidate();
      return;
    case Qt::Key_M:
      if (!e->isAutoRepeat() && !snapHeld_) {
        snapHeld_ = true;
        editor_.snapHeld = true;
        snapBefore_ = state_.snapToGrid;
        state_.snapToGrid = 1;
      }
      return;
    case Qt::Key_V:
      if (!e->isAutoRepeat() && !panHeld_ && !editor_.drawingLine() && doc_->tool != kToolPan) {
        panHeld_ = true;
        heldTool_ = doc_->tool;
        setTool(kToolPan);
      }
      return;
    default: break;
  }
  QAbstractScrollArea::keyPressEvent(e);
}

void CProjWnd::keyReleaseEvent(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;
  switch (e->key()) {
    case Qt::Key_Control:
      orthoHeld_ = false;
      app().orthoOn = 0;
      emit orthoChanged(false);
      invalidate();
      return;
    case Qt::Key_M:
      if (snapHeld_) {
        snapHeld_ = false;
        editor_.snapHeld = false;
        state_.snapToGrid = snapBefore_;
      }
      return;
    case Qt::Key_V:
      if (panHeld_) {
        panHeld_ = false;
        if (panning_) endPan();
        leftHeld_ = false;
        setTool(heldTool_);
      }
      return;
    default: break;
  }
  QAbstractScrollArea::keyReleaseEvent(e);
}

void CProjWnd::focusOutEvent(QFocusEvent* e) {
  // Keys let go elsewhere never reach the view: held modes end here (Ctrl
  // of a shortcut that opened a dialog, say).
  if (orthoHeld_) {
    orthoHeld_ = false;
    app().orthoOn = 0;
    emit orthoChanged(false);
  }
  if (snapHeld_) {
    snapHeld_ = false;
    editor_.snapHeld = false;
    state_.snapToGrid = snapBefore_;
  }
  if (panHeld_) {
    panHeld_ = false;
    if (panning_) endPan();
    setTool(heldTool_);
  }
  QAbstractScrollArea::focusOutEvent(e);
}

// --- context menus -------------------------------------------------------------------------

void CProjWnd::rememberRange() {
  CWBase* o = doc_->selected;
  if (auto* rotary = dynamic_cast<CWSprinkler*>(o)) rotary->RememberRange();
  else if (auto* fixed = dynamic_cast<CWStaticSprinkler*>(o)) fixed->RememberRange();
}

bool CProjWnd::labelTurns() const {
  const CWBase* o = doc_->selected;
  if (!o || o->deleted) return false;
  switch (o->listCode) {
    case kTypePipe: case kTypeSet: case kTypeDripline: case kTypeCable: case kListCodeDimension: return true;
    default: return false;
  }
}

void CProjWnd::requestFill() {
  if (CPrimitive* shape = editor_.selectedPrimitive(); shape && !shape->deleted) emit fillKindRequested(shape);
}

void CProjWnd::requestTransform() {
  CPrimitive* shape = editor_.selectedPrimitive();
  if (!shape || shape->deleted) return;
  if (shape->GetType() == kTerrainArea || shape->GetType() == kTerrainPolyline) emit transformRequested(shape);
}

void CProjWnd::requestRotation() {
  if (labelTurns()) emit labelRotationRequested(doc_->selected);
}

void CProjWnd::requestReduction() {
  if (CWBase* o = doc_->selected; o && !o->deleted && o->CanReduceRadius() == 1) emit reductionRequested(o);
}

void CProjWnd::requestTextEdit() {
  if (CWBase* o = doc_->selected; o && !o->deleted && o->listCode == kTypeText) emit textEditRequested(o);
}

void CProjWnd::showContextMenu(PlanMenu menu, QPoint global) {
  QMenu m(this);
  m.setObjectName(QString("menu%1").arg(static_cast<int>(menu)));
  for (const MenuItem& item : menuItems(menu)) {
    // Heads are laid out in the areas meant to be watered.
    if (item.command == kCmdLayOutHeads) {
      const CPrimitive* shape = editor_.selectedPrimitive();
      if (!shape || shape->deleted || !isWateredSurface(*shape)) continue;
    }
    QAction* a = m.addAction(QString::fromUtf8(item.text));
    a->setObjectName(QString("cmd%1").arg(item.command));
    a->setEnabled(item.available);
    const int command = item.command;
    connect(a, &QAction::triggered, this, [this, command] {
      switch (command) {
        case kCmdToggleLabel: withCanvas([&] { editor_.toggleLabel(); }); break;
        case kCmdDeleteObject: withCanvas([&] { editor_.deleteSelectedObject(); }); break;
        case kCmdDeletePrimitive: withCanvas([&] { editor_.deleteSelectedPrimitive(); }); break;
        case kCmdRememberRange: rememberRange(); break;
        case kCmdFillKind: requestFill(); break;
        case kCmdTransform: requestTransform(); break;
        case kCmdRotateLabel: requestRotation(); break;
        case kCmdEditText: requestTextEdit(); break;
        case kCmdSourceParameters: emit sourceParametersRequested(); break;
        case kCmdReduceRadius: requestReduction(); break;
        case kCmdCopy: editor_.copySelection(); break;
        case kCmdPaste: withCanvas([&] { editor_.paste(menuPoint_); }); break;
        case kCmdClearClipboard: editor_.clipboard.clear(); break;
        case kCmdLayOutHeads:
          if (CPrimitive* shape = editor_.selectedPrimitive(); shape && !shape->deleted) emit layoutRequested(shape);
          break;
        default: break;
      }
    });
  }
  m.exec(global);
}
