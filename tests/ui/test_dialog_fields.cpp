// The small dialogs on their own: each field is found by the label the
// user reads beside it, so that a field wired to the wrong value shows.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "printing/print_layout.h"
#include "printing/ui/print_dialogs.h"

namespace {

// The field whose label reads `label`.
QLineEdit* fieldLabelled(QWidget& dialog, const QString& label) {
  for (QLabel* l : dialog.findChildren<QLabel*>())
    if (l->text() == label) return qobject_cast<QLineEdit*>(l->buddy());
  return nullptr;
}

QPushButton* buttonNamed(QWidget& dialog, const QString& text) {
  for (QPushButton* b : dialog.findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace

class DialogFields : public QObject {
  Q_OBJECT

 private slots:
  // "Ustawienia marginesów": each field sets its own margin, and the dialog
  // opened again shows each margin in its own field.
  void marginsGoEachToTheirOwnSide() {
    PrintLayout layout;
    layout.setMargins({1.0, 1.0, 1.0, 1.0});
    const struct {
      const char* label;  // UTF-8
      const char* typed;
      double PrintLayout::*margin;
      const char* shown;
    } fields[] = {{"górny[cm]:", "0,5", &PrintLayout::marginTop, "0.5"},
                  {"dolny[cm]:", "2.25", &PrintLayout::marginBottom, "2.25"},
                  {"prawy[cm]:", "1.75", &PrintLayout::marginRight, "1.75"},
                  {"lewy[cm]:", "3", &PrintLayout::marginLeft, "3"}};
    {
      CDlgGetMargins dialog(layout);
      for (const auto& f : fields) {
        QLineEdit* edit = fieldLabelled(dialog, QString::fromUtf8(f.label));
        QVERIFY2(edit, f.label);
        QCOMPARE(edit->text(), QString("1"));
        edit->setText(f.typed);
      }
      QPushButton* ok = buttonNamed(dialog, "OK");
      QVERIFY(ok);
      ok->click();
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    for (const auto& f : fields) QVERIFY2(layout.*f.margin == std::strtod(f.shown, nullptr), f.label);

    CDlgGetMargins again(layout);
    for (const auto& f : fields) {
      QLineEdit* edit = fieldLabelled(again, QString::fromUtf8(f.label));
      QVERIFY2(edit, f.label);
      QCOMPARE(edit->text(), QString(f.shown));
    }
  }
};

QTEST_MAIN(DialogFields)
#include "test_dialog_fields.moc"
