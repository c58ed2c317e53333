#include "interchange/csv/ForeignCsvSplit.h"

#include "interchange/TextImport.h"
#include "store/TextUtil.h"

namespace zorvan::foreign_csv {
namespace {

// The closing quote of the quoted value whose text begins at q, the value's text appended to
// field (when given); npos when it is never closed.
size_t FindClosingQuote(std::string_view t, size_t q, char delimiter, EQuotes quotes,
                        std::string* field) {
  const size_t n = t.size();
  constexpr std::string_view ends = "\"\r\n";
  for (;;) {
    const size_t k = quotes == EQuotes::bare ? t.find_first_of(ends, q) : t.find('"', q);
    if (k == std::string_view::npos || t[k] != '"') return std::string_view::npos;
    if (field) field->append(t, q, k - q);
    const bool last = k + 1 == n || t[k + 1] == delimiter || t[k + 1] == '\r' || t[k + 1] == '\n';
    if (quotes == EQuotes::bare && !last) {
      if (field) field->push_back('"');
      q = k + 1;
    } else if (quotes == EQuotes::doubled && k + 1 < n && t[k + 1] == '"') {
      if (field) field->push_back('"');
      q = k + 2;
    } else {
      return k;
    }
  }
}

}  // namespace

size_t SkipBlankLines(std::string_view text, size_t pos) {
  while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
  return pos;
}

// Reads the record that begins at pos: its values (unquoted, at most kMaxColumns of them kept
// in fields when fields is given; count tells how many) up to the line end outside quotes.
// Returns the position after the line end.
size_t ReadRecord(std::string_view t, size_t pos, char delimiter, std::vector<std::string>* fields,
                  size_t& count, EQuotes quotes) {
  const size_t n = t.size();
  count = 0;
  for (;;) {
    std::string* field = nullptr;
    if (count < static_cast<size_t>(kMaxColumns)) {
      if (fields) {
        if (fields->size() <= count) fields->emplace_back();
        field = &(*fields)[count];
        field->clear();
      }
      ++count;
    }
    if (pos < n && t[pos] == '"') {
      const size_t k = FindClosingQuote(t, pos + 1, delimiter, quotes, field);
      // A quote never closed is a character of the value, which then ends as an unquoted one.
      if (k != std::string_view::npos)
        pos = k + 1;
      else if (field)
        field->clear();
    }
    // Unquoted text, or whatever follows a closing quote, up to the delimiter or the line end.
    size_t end = pos;
    while (end < n && t[end] != delimiter && t[end] != '\r' && t[end] != '\n') ++end;
    if (field) field->append(t, pos, end - pos);
    pos = end;
    if (pos < n && t[pos] == delimiter) {
      ++pos;
      continue;
    }
    if (pos < n && t[pos] == '\r') {
      ++pos;
      if (pos < n && t[pos] == '\n') ++pos;
    } else if (pos < n && t[pos] == '\n') {
      ++pos;
    }
    return pos;
  }
}

// The delimiter the header line uses most outside quotes: comma, semicolon or tab.
char DetectDelimiter(std::string_view t, size_t pos) {
  size_t commas = 0, semicolons = 0, tabs = 0;
  bool quoted = false;
  for (; pos < t.size(); ++pos) {
    const char c = t[pos];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\r' || c == '\n') break;
    if (c == ',') ++commas;
    if (c == ';') ++semicolons;
    if (c == '\t') ++tabs;
  }
  if (semicolons > commas && semicolons >= tabs) return ';';
  if (tabs > commas && tabs > semicolons) return '\t';
  return ',';
}

// A value as it goes into a record: trimmed, with every line break as CR LF and without NUL
// characters (which no field of a record may hold).
void CleanValue(const std::string& raw, std::string& out) {
  const std::string_view v = Trim(raw);
  out.clear();
  if (v.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) {
    out.assign(v);
    return;
  }
  out.reserve(v.size() + 8);
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\r') {
      out += "\r\n";
      if (i + 1 < v.size() && v[i + 1] == '\n') ++i;
    } else if (v[i] == '\n') {
      out += "\r\n";
    } else if (v[i] != '\0') {
      out.push_back(v[i]);
    }
  }
}

}  // namespace zorvan::foreign_csv
