#include "editing/ui/transform_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/small_dialogs.h"
#include "document/terrain.h"
#include "editing/shape_transform.h"
#include "editing/undo_history.h"
#include "editing/ui/plan_view.h"

namespace {

QSlider* slider(const QString& name, const QString& accessible, int min, int max, int at, QWidget* parent) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setObjectName(name);
  s->setAccessibleName(accessible);
  s->setRange(min, max);
  s->setValue(at);
  s->setMinimumWidth(260);
  return s;
}

}  // namespace

CDlgTransform::CDlgTransform(CProjWnd& view, CMUndo& undo, CPoly& shape, QWidget* parent)
    : QDialog(parent), view_(view), undo_(undo), shape_(shape), before_(shape.clone()) {
  setWindowTitle("Transformuj obiekt");
  setAccessibleName(windowTitle());
  auto* layout = new QVBoxLayout(this);

  auto* turnGroup = new QGroupBox(QString::fromUtf8("Obrót(w stopniach)"), this);
  auto* turnGrid = new QGridLayout(turnGroup);
  turn_ = slider("slider1046", QString::fromUtf8("Obrót"), kTurnMin, kTurnMax, kTurnMin, turnGroup);
  turnText_ = new QLineEdit(turnGroup);
  turnText_->setObjectName("edit1013");
  turnText_->setReadOnly(true);
  turnText_->setAccessibleName(QString::fromUtf8("Kąt obrotu"));
  turnText_->setMaximumWidth(60);
  QPushButton* plus = namedButton("+", turnGroup);
  QPushButton* minus = namedButton("-", turnGroup);
  for (QPushButton* b : {plus, minus}) {
    b->setAutoDefault(false);
    b->setMaximumWidth(32);
  }
  plus->setAccessibleName("+");
  minus->setAccessibleName("-");
  turnGrid->addWidget(new QLabel("0", turnGroup), 0, 0);
  turnGrid->addWidget(turn_, 0, 1);
  turnGrid->addWidget(new QLabel("360", turnGroup), 0, 2);
  auto* turnRow = new QHBoxLayout;
  turnRow->addWidget(minus);
  turnRow->addWidget(turnText_);
  turnRow->addWidget(plus);
  turnRow->addStretch(1);
  turnGrid->addLayout(turnRow, 1, 1);
  layout->addWidget(turnGroup);

  auto* scaleGroup = new QGroupBox("Skalowanie", this);
  auto* scaleGrid = new QGridLayout(scaleGroup);
  uniformButton_ = new QRadioButton("jednorodne", scaleGroup);
  separate_ = new QRadioButton("niejednorodne", scaleGroup);
  uniformButton_->setObjectName("radio1007");
  separate_->setObjectName("radio1008");
  uniformButton_->setAccessibleName(uniformButton_->text());
  separate_->setAccessibleName(separate_->text());
  uniformButton_->setChecked(true);
  uniform_ = slider("slider1031", QString::fromUtf8("Skala"), 0, kScaleMax, kScaleUnit, scaleGroup);
  x_ = slider("slider1032", QString::fromUtf8("Skala X"), 0, kScaleMax, kScaleUnit, scaleGroup);
  y_ = slider("slider1033", QString::fromUtf8("Skala Y"), 0, kScaleMax, kScaleUnit, scaleGroup);
  scaleGrid->addWidget(uniformButton_, 0, 0);
  scaleGrid->addWidget(uniform_, 0, 1);
  scaleGrid->addWidget(separate_, 1, 0);
  scaleGrid->addWidget(new QLabel("X", scaleGroup), 1, 1);
  scaleGrid->addWidget(x_, 2, 1);
  scaleGrid->addWidget(new QLabel("Y", scaleGroup), 3, 1);
  scaleGrid->addWidget(y_, 4, 1);
  layout->addWidget(scaleGroup);
  addDialogButtons(this, layout, "Zastosuj", QString::fromUtf8("Wyjdź"));

  connect(plus, &QPushButton::clicked, this, [this] { turn_->setValue(turn_->value() + 1); });
  connect(minus, &QPushButton::clicked, this, [this] {
    if (turn_->value() > 0) turn_->setValue(turn_->value() - 1);
  });
  for (QSlider* s : {turn_, uniform_, x_, y_}) connect(s, &QSlider::valueChanged, this, &CDlgTransform::preview);
  connect(uniformButton_, &QRadioButton::toggled, this, &CDlgTransform::preview);

  // The plan is drawn without the shape; the preview stands in for it.
  shape_.deleted = 1;
  view_.refresh();
  preview();
}

CDlgTransform::~CDlgTransform() { restore(); }

void CDlgTransform::preview() {
  // Only the sliders of the scaling chosen act.
  uniform_->setEnabled(uniformButton_->isChecked());
  x_->setEnabled(!uniformButton_->isChecked());
  y_->setEnabled(!uniformButton_->isChecked());
  const int p = turn_->value();
  turnText_->setText(QString::number(p - 89));
  double fx = static_cast<double>(x_->value()) / kScaleUnit, fy = static_cast<double>(y_->value()) / kScaleUnit;
  if (uniformButton_->isChecked()) fx = fy = static_cast<double>(uniform_->value()) / kScaleUnit;
  // Always from the shape as it was: the sliders give absolute values.
  working_ = transformedVertices(shape_.vertexPx, {shape_.centreX, shape_.centreY}, p, fx, fy);
  view_.setOutline(working_, shape_.GetType() != kTerrainPolyline);
}

void CDlgTransform::accept() {
  shape_.deleted = 0;
  undo_.pushCopy(shape_, std::move(before_));
  const double scale = shape_.scale;
  for (size_t i = 0; i < working_.size() && i < shape_.vertexPx.size(); ++i) {
    shape_.vertexPx[i] = working_[i];
    if (i < shape_.vertexU.size()) shape_.vertexU[i] = {working_[i].x * scale, working_[i].y * scale};
  }
  restore();
  QDialog::accept();
}

void CDlgTransform::reject() {
  restore();
  QDialog::reject();
}

void CDlgTransform::restore() {
  if (restored_) return;
  restored_ = true;
  shape_.deleted = 0;
  view_.setOutline({}, true);
  view_.refresh();
}
