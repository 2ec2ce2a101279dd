#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "FieldLimits.h"

namespace {

// Types each character as a key press carrying its text, as an input method
// delivers Chinese characters.
void Type(QWidget* field, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(field, &press);
  }
}

}  // namespace

// A Chinese character takes two bytes of a column's width: typing stops at
// the width, and a paste that would pass it is refused whole.
TEST(FieldLimits, TypingAndPastingStopAtTheColumnWidthInGbkBytes) {
  QLineEdit field;
  FieldLimits::LimitGbkBytes(&field, 5);
  Type(&field, QStringLiteral("血糖ab"));
  EXPECT_EQ(field.text(), QStringLiteral("血糖a"));  // 2 + 2 + 1 bytes

  field.clear();
  field.insert(QStringLiteral("血常规"));  // 6 bytes at once
  EXPECT_EQ(field.text(), QString());

  QComboBox box;
  box.setEditable(true);
  FieldLimits::LimitGbkBytes(&box, 4);
  QTest::keyClicks(box.lineEdit(), QStringLiteral("O'Br"));
  QTest::keyClicks(box.lineEdit(), QStringLiteral("i"));
  EXPECT_EQ(box.currentText(), QStringLiteral("O'Br"));
  EXPECT_EQ(FieldLimits::GbkBytes(QStringLiteral("身高cm")), 6);
}
