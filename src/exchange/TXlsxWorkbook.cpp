#include "TXlsxWorkbook.h"

namespace XlsxCells {

std::string ColumnName(int column) {
  std::string letters;
  for (int n = column + 1; n > 0; n = (n - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  return letters;
}

std::string Name(int column, int row) {
  return ColumnName(column) + std::to_string(row);
}

std::optional<TReference> Parse(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  long column = 0;
  const size_t lettersFrom = i;
  for (; i < text.size() && i - lettersFrom < 4; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    column = column * 26 + (c - 'A' + 1);
  }
  if (i == lettersFrom || column > kMaxColumns) return std::nullopt;
  if (i < text.size() && text[i] == '$') ++i;
  long row = 0;
  const size_t digitsFrom = i;
  for (; i < text.size() && i - digitsFrom < 8; ++i) {
    if (text[i] < '0' || text[i] > '9') break;
    row = row * 10 + (text[i] - '0');
  }
  if (i == digitsFrom || i != text.size() || row < 1 || row > kMaxRows) return std::nullopt;
  return TReference{static_cast<int>(column - 1), static_cast<int>(row)};
}

}  // namespace XlsxCells
