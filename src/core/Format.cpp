#include "Format.h"

#include <charconv>

#include "Exceptions.h"

namespace {

// Fixed-point text with a point as decimal separator whatever the process
// locale: the text goes into SQL, and a host may run under a locale that
// writes decimal commas.
std::string FixedPoint(double value, int precision) {
  char buf[400];
  auto [end, error] =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
  if (error != std::errc()) throw Exception("Number too large to format");
  return std::string(buf, end);
}

}  // namespace

std::string TFormatArg::AsText() const {
  if (auto* s = std::get_if<std::string_view>(&value_)) return std::string(*s);
  if (auto* i = std::get_if<int64_t>(&value_)) return std::to_string(*i);
  return FixedPoint(std::get<double>(value_), 2);
}

int64_t TFormatArg::AsInteger() const {
  if (auto* i = std::get_if<int64_t>(&value_)) return *i;
  if (auto* d = std::get_if<double>(&value_)) return static_cast<int64_t>(*d);
  throw Exception("Format argument is not an integer: " + AsText());
}

double TFormatArg::AsFloat() const {
  if (auto* d = std::get_if<double>(&value_)) return *d;
  if (auto* i = std::get_if<int64_t>(&value_)) return static_cast<double>(*i);
  throw Exception("Format argument is not a number: " + AsText());
}

namespace {

// Appends `text` with every single quote doubled.
void AppendQuoteDoubled(std::string& out, std::string_view text) {
  size_t from = 0;
  for (size_t quote = text.find('\''); quote != std::string_view::npos;
       quote = text.find('\'', from)) {
    out.append(text, from, quote + 1 - from);
    out += '\'';
    from = quote + 1;
  }
  out.append(text, from);
}

}  // namespace

std::string QuoteDoubled(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  AppendQuoteDoubled(out, text);
  return out;
}

namespace {

struct Spec {
  bool leftAlign = false;
  int width = -1;
  int precision = -1;
  char type = 0;
};

// Reads "[index:][-][width][.prec]type" after a '%'; pos points past the '%'.
// Returns the explicit index, or -1 when the placeholder has none.
int ParseSpec(const std::string& t, size_t& pos, Spec& spec) {
  auto readNumber = [&](int& out) {
    size_t start = pos;
    while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9') ++pos;
    if (pos == start) return false;
    std::from_chars(t.data() + start, t.data() + pos, out);
    return true;
  };
  int index = -1;
  size_t save = pos;
  int number = 0;
  if (readNumber(number) && pos < t.size() && t[pos] == ':') {
    index = number;
    ++pos;
  } else {
    pos = save;
  }
  if (pos < t.size() && t[pos] == '-') {
    spec.leftAlign = true;
    ++pos;
  }
  readNumber(spec.width);
  if (pos < t.size() && t[pos] == '.') {
    ++pos;
    spec.precision = 0;
    readNumber(spec.precision);
  }
  if (pos >= t.size()) throw Exception("Format '" + t + "' invalid or incompatible with argument");
  spec.type = t[pos++];
  return index;
}

std::string Render(const Spec& spec, const TFormatArg& arg) {
  switch (spec.type) {
    case 's':
    case 'S':
      return arg.AsText();
    case 'd':
    case 'D':
      return std::to_string(arg.AsInteger());
    case 'f':
    case 'F':
      return FixedPoint(arg.AsFloat(), spec.precision < 0 ? 2 : spec.precision);
    default:
      throw Exception(std::string("Format type '") + spec.type + "' is not supported");
  }
}

std::string Pad(std::string text, const Spec& spec) {
  if (spec.width > 0 && static_cast<int>(text.size()) < spec.width) {
    std::string fill(spec.width - text.size(), ' ');
    text = spec.leftAlign ? text + fill : fill + text;
  }
  return text;
}

std::string Format(const std::string& t, TFormatArgs args, bool quoteLiterals) {
  const TFormatArg* const list = args.begin();
  std::string out;
  out.reserve(t.size() + 16 * args.size());
  size_t next = 0;
  bool inLiteral = false;
  for (size_t pos = 0; pos < t.size();) {
    char c = t[pos];
    if (c != '%') {
      if (c == '\'') inLiteral = !inLiteral;
      out += c;
      ++pos;
      continue;
    }
    ++pos;
    if (pos < t.size() && t[pos] == '%') {
      out += '%';
      ++pos;
      continue;
    }
    Spec spec;
    int index = ParseSpec(t, pos, spec);
    size_t use = index >= 0 ? static_cast<size_t>(index) : next;
    if (use >= args.size())
      throw Exception("Format '" + t + "' invalid or incompatible with argument");
    next = use + 1;
    const bool text = spec.type == 's' || spec.type == 'S';
    const bool quote = quoteLiterals && inLiteral && text;
    // Unpadded text, the usual case, goes straight into the result.
    if (const std::string_view* plain = text && spec.width <= 0 ? list[use].Text() : nullptr) {
      if (quote)
        AppendQuoteDoubled(out, *plain);
      else
        out.append(*plain);
      continue;
    }
    const std::string rendered = Pad(Render(spec, list[use]), spec);
    if (quote)
      AppendQuoteDoubled(out, rendered);
    else
      out += rendered;
  }
  return out;
}

}  // namespace

std::string FormatText(const std::string& tmpl, TFormatArgs args) {
  return Format(tmpl, args, false);
}

std::string FormatSql(const std::string& tmpl, TFormatArgs args) {
  return Format(tmpl, args, true);
}
