#pragma once

class QComboBox;
class QLineEdit;
class QString;

/// Column widths for the windows' text fields. The database counts a text
/// column's width in GBK bytes (a Chinese character takes two), so a field
/// limited in characters would still let a server refuse, or SQLite silently
/// keep, a text longer than its column.
namespace FieldLimits {

/// GBK bytes `text` takes in the database (GB18030 form for characters
/// outside GBK).
int GbkBytes(const QString& text);

/// Typing or pasting that would make the field's text longer than `bytes`
/// GBK bytes is refused; the text stays as it was.
void LimitGbkBytes(QLineEdit* field, int bytes);
/// The same for the text part of an editable combo box.
void LimitGbkBytes(QComboBox* field, int bytes);

}  // namespace FieldLimits
