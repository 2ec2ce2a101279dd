#include "TDataSet.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "Exceptions.h"
#include "TDataSetImpl.h"

namespace {

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Reads a number the way a backend may hand it over as text: an integer or a
// decimal ("12", "-3", "8.0", "1e3"). Empty text reads as 0, like SQL Server
// converting '' to a number.
bool ParseNumber(std::string_view text, double& out) {
  std::string_view t = Trimmed(text);
  if (t.empty()) {
    out = 0;
    return true;
  }
  if (t.front() == '+') t.remove_prefix(1);
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return ec == std::errc() && ptr == t.data() + t.size();
}

}  // namespace

// ---- storage ----------------------------------------------------------------

void TDataSet::Impl::Clear(bool keepBlocks) {
  active = false;
  names.clear();
  index.clear();
  text.Release(keepBlocks);
  ends.Release(keepBlocks);
  rows = 0;
  cursor = 0;
  order.clear();
  if (!keepBlocks) order.shrink_to_fit();
}

void TDataSet::Impl::BeginResult(std::vector<std::string> columnNames) {
  Clear();
  names = std::move(columnNames);
  for (int i = 0; i < static_cast<int>(names.size()); ++i) index.emplace(UpperAscii(names[i]), i);
  active = true;
}

void TDataSet::Impl::Finish() {
  text.ShrinkToFit();
  ends.ShrinkToFit();
  cursor = 0;
}

int TDataSet::Impl::Find(std::string_view name) const {
  auto it = index.find(UpperAscii(name));
  return it == index.end() ? -1 : it->second;
}

void TDataSet::Impl::ThrowTooLarge() {
  throw EDBException("Result set too large: more than 2 GB of text");
}

// ---- data set ---------------------------------------------------------------

TDataSet::TDataSet() = default;
TDataSet::~TDataSet() = default;

TDataSet::Impl& TDataSet::Storage() {
  if (!impl_) impl_ = std::make_unique<Impl>();
  return *impl_;
}

const TDataSet::Impl& TDataSet::Storage() const {
  static const Impl kClosed;  // what a set never opened reads as
  return impl_ ? *impl_ : kClosed;
}

bool TDataSet::Active() const {
  return Storage().active;
}
void TDataSet::Close() {
  if (impl_) impl_->Clear();
}
void TDataSet::CloseAndFree() {
  if (impl_) impl_->Clear(false);
}
void TDataSet::First() {
  if (impl_) impl_->cursor = 0;
}
void TDataSet::Next() {
  if (impl_ && impl_->cursor < impl_->rows) ++impl_->cursor;
}
bool TDataSet::Eof() const {
  return Storage().cursor >= Storage().rows;
}
bool TDataSet::IsEmpty() const {
  return Storage().rows == 0;
}
int TDataSet::RecordCount() const {
  return Storage().rows;
}
int TDataSet::RecNo() const {
  return Storage().cursor;
}
int TDataSet::FieldCount() const {
  return Storage().Columns();
}

TField TDataSet::FieldByName(const std::string& name) const {
  int column = Storage().Find(name);
  if (column < 0) throw EDBException("Field '" + name + "' not found");
  return TField(this, column);
}

bool TDataSet::HasField(const std::string& name) const {
  return Storage().Find(name) >= 0;
}

TField TDataSet::Fields(int column) const {
  if (column < 0 || column >= Storage().Columns())
    throw EDBException(FormatText("Field index %d out of range", {column}));
  return TField(this, column);
}

// ---- fields -----------------------------------------------------------------

namespace {

// The row a field reads: the cursor's row; past the end the last row stays
// visible (as a toolkit data set shows it); an empty set has none.
int CurrentRow(const TDataSet::Impl& s) {
  if (s.rows == 0) return -1;
  return s.cursor < s.rows ? s.cursor : s.rows - 1;
}

}  // namespace

bool TField::IsNull() const {
  const auto& s = set_->Storage();
  int row = CurrentRow(s);
  return row < 0 || s.CellIsNull(row, column_);
}

std::string TField::AsString() const {
  return std::string(AsView());
}

std::string_view TField::AsView() const {
  const auto& s = set_->Storage();
  int row = CurrentRow(s);
  if (row < 0) return std::string_view();
  return s.Cell(row, column_);
}

std::string TField::FieldName() const {
  return set_->Storage().names[column_];
}

double TField::AsFloat() const {
  if (IsNull()) return 0;
  const auto& s = set_->Storage();
  double value = 0;
  std::string_view text = s.Cell(CurrentRow(s), column_);
  if (!ParseNumber(text, value))
    throw EDBException("Field '" + FieldName() + "': '" + std::string(text) +
                       "' is not a valid number");
  return value;
}

int32_t TField::AsInteger() const {
  if (IsNull()) return 0;
  const auto& s = set_->Storage();
  const std::string_view cell = s.Cell(CurrentRow(s), column_);
  int64_t whole = 0;
  // The common case first: the whole cell is an integer in range, which no
  // trimming or second look changes.
  auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), whole);
  if (error == std::errc() && end == cell.data() + cell.size() && !cell.empty() &&
      whole >= INT32_MIN && whole <= INT32_MAX)
    return static_cast<int32_t>(whole);
  std::string_view text = Trimmed(cell);
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), whole);
  if (ec == std::errc() && ptr == text.data() + text.size() && !text.empty()) {
    if (whole < INT32_MIN || whole > INT32_MAX)
      throw EDBException("Field '" + FieldName() + "': " + std::string(text) +
                         " is out of the 32-bit integer range");
    return static_cast<int32_t>(whole);
  }
  double value = AsFloat();
  if (!(value >= INT32_MIN && value <= INT32_MAX))
    throw EDBException("Field '" + FieldName() + "': " + std::string(text) +
                       " is out of the 32-bit integer range");
  return static_cast<int32_t>(std::lround(value));
}

bool TField::AsBoolean() const {
  if (IsNull()) return false;
  const auto& s = set_->Storage();
  const std::string_view text = Trimmed(s.Cell(CurrentRow(s), column_));
  if (text == "0" || text == "1") return text == "1";  // what flag columns hold
  std::string upper = UpperAscii(text);
  if (upper == "TRUE") return true;
  if (upper == "FALSE" || upper.empty()) return false;
  double value = 0;
  if (ParseNumber(upper, value)) return value != 0;
  throw EDBException("Field '" + FieldName() + "': '" + upper + "' is not a valid boolean");
}

TDateTime TField::AsDateTime() const {
  if (IsNull()) return TDateTime();
  const auto& s = set_->Storage();
  std::string text(Trimmed(s.Cell(CurrentRow(s), column_)));
  if (text.empty()) return TDateTime();
  double days = 0;
  if (text.find('-') == std::string::npos && ParseNumber(text, days)) return TDateTime(days);
  try {
    return TDateTime::Parse(text);
  } catch (const Exception&) {
    throw EDBException("Field '" + FieldName() + "': '" + text + "' is not a valid date");
  }
}
