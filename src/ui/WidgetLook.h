#pragma once

#include <QString>
#include <initializer_list>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

/// Small construction helpers that give the maintenance windows' widgets
/// their common look and names (the object name is the component name).
namespace WidgetLook {

/// The input method the text fields ask for while focused; the desktop
/// chooses the actual method, the name is kept as the "ImeName" property.
inline constexpr const char* ChineseImeName = "中文 (简体) - 智能 ABC";
/// The pinyin input method some fields ask for instead.
inline constexpr const char* PinyinImeName = "中文 (简体) - 微软拼音";

QLineEdit* NamedEdit(QWidget* parent, const QString& name);
/// A combo box; `editable` when it also accepts typed text.
QComboBox* NamedCombo(QWidget* parent, const QString& name, bool editable,
                      std::initializer_list<QString> entries = {});
QPushButton* NamedButton(QWidget* parent, const QString& name, const QString& caption);

/// Grey background for fields the user does not type into; their text stays
/// black when the field is disabled, so it can be read.
void Grey(QWidget* field);
/// Keeps input methods on for the field and records the requested one.
void ChineseInput(QWidget* field, const char* imeName = ChineseImeName);
/// Tab order in the given sequence. A field that takes no focus itself (a
/// radio group's box) is entered through the widgets inside it that do, in
/// their order: QWidget::setTabOrder would silently pass over it and leave
/// the creation order in force.
void ChainTabOrder(std::initializer_list<QWidget*> fields);

}  // namespace WidgetLook
