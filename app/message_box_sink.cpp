#include "app/message_box_sink.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>

#include "platform/qt_text.h"

platform::MessageAnswer MessageBoxSink::show(const platform::Message& m) {
  using platform::MessageAnswer;
  using platform::MessageButtons;
  using platform::MessageIcon;
  QWidget* parent = parent_ ? parent_.data() : QApplication::activeWindow();
  QMessageBox box(parent);
  box.setWindowTitle(platform::toQString(m.caption));
  box.setText(platform::toQString(m.text));
  box.setAccessibleName(platform::toQString(m.caption));
  switch (m.icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
  }
  switch (m.buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  // Polish texts on the buttons, whatever the desktop's language.
  if (auto* b = box.button(QMessageBox::Yes)) b->setText("Tak");
  if (auto* b = box.button(QMessageBox::No)) b->setText("Nie");
  if (auto* b = box.button(QMessageBox::Cancel)) b->setText("Anuluj");
  for (QAbstractButton* b : box.buttons()) b->setAccessibleName(b->text().remove('&'));
  switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default:
      // Closing a question with the close box means Cancel, never Yes.
      if (m.buttons == MessageButtons::YesNoCancel || m.buttons == MessageButtons::OkCancel)
        return box.clickedButton() ? MessageAnswer::Ok : MessageAnswer::Cancel;
      return MessageAnswer::Ok;
  }
}
