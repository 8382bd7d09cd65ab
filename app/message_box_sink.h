#pragma once
// Messages of the model shown as message boxes with their exact captions,
// texts, icons and buttons.

#include <QPointer>
#include <QWidget>

#include "platform/message_sink.h"

class MessageBoxSink : public platform::MessageSink {
 public:
  platform::MessageAnswer show(const platform::Message& message) override;
  // The window the boxes are centred on.
  void setParent(QWidget* parent) { parent_ = parent; }

 private:
  QPointer<QWidget> parent_;
};
