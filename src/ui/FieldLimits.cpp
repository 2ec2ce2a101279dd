#include "FieldLimits.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

#include "QtText.h"

namespace {

// Accepts any text up to a number of GBK bytes. Refusing (rather than
// cutting) keeps a paste from silently losing its tail.
class TGbkWidthValidator : public QValidator {
 public:
  TGbkWidthValidator(int bytes, QObject* owner) : QValidator(owner), bytes_(bytes) {}
  State validate(QString& input, int&) const override {
    return FieldLimits::GbkBytes(input) <= bytes_ ? Acceptable : Invalid;
  }

 private:
  int bytes_;
};

}  // namespace

namespace FieldLimits {

int GbkBytes(const QString& text) {
  return static_cast<int>(QtText::FromQ(text).size());
}

void LimitGbkBytes(QLineEdit* field, int bytes) {
  field->setValidator(new TGbkWidthValidator(bytes, field));
}

void LimitGbkBytes(QComboBox* field, int bytes) {
  if (QLineEdit* text = field->lineEdit()) LimitGbkBytes(text, bytes);
}

}  // namespace FieldLimits
