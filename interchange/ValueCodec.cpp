#include "interchange/ValueCodec.h"

#include <charconv>

#include "res/CodePage.h"

namespace zorvan {
namespace {

constexpr std::string_view kEncodedLineBreak = "=0D=0A";

bool NeedsQuotes(std::string_view value) {
  return value.find_first_of(",;\"") != std::string_view::npos;
}

// Appends text with each line break encoded and, inside quotes, each quote doubled.
void AppendEncoded(std::string& out, std::string_view text, bool doubleQuotes) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n' && !(doubleQuotes && c == '"')) continue;
    out.append(text, start, i - start);
    if (c == '"') {
      out += "\"\"";
    } else {
      out += kEncodedLineBreak;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    start = i + 1;
  }
  out.append(text, start, text.size() - start);
}

}  // namespace

void AppendQuotedValue(std::string& out, std::string_view value) {
  if (!NeedsQuotes(value)) {
    AppendEncoded(out, value, false);
    return;
  }
  out += '"';
  AppendEncoded(out, value, true);
  out += '"';
}

std::string QuoteValue(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  AppendQuotedValue(out, value);
  return out;
}

size_t NextToken(std::string_view line, size_t& pos, std::string_view delimiter,
                 std::string& value) {
  value.clear();
  const size_t n = line.size();
  size_t p = pos;
  if (p >= n) {
    pos = n + delimiter.size();
    return n;
  }
  size_t end = n;
  bool quoted = false;
  if (line[p] == '"') {
    quoted = true;
    ++p;
    for (;;) {
      const size_t q = line.find('"', p);
      if (q == std::string_view::npos) {
        value.append(line, p, n - p);
        break;
      }
      if (q + 1 < n && line[q + 1] == '"') {
        value.append(line, p, q + 1 - p);
        p = q + 2;
        continue;
      }
      value.append(line, p, q - p);
      end = q;
      break;
    }
  } else {
    const size_t d = delimiter.empty() ? std::string_view::npos : line.find(delimiter, p);
    if (d != std::string_view::npos) end = d;
    value.append(line, p, end - p);
  }
  pos = end + (quoted ? 1 : 0) + delimiter.size();
  // The line is UTF-8: what is skipped after a closing quote may be any character, so never
  // stop inside one.
  while (pos < n && IsUtf8Continuation(line[pos])) ++pos;
  return end;
}

std::string NextToken(std::string_view line, size_t& pos, std::string_view delimiter) {
  std::string value;
  NextToken(line, pos, delimiter, value);
  return value;
}

void DecodeLineBreaks(std::string& value) {
  size_t at = value.find(kEncodedLineBreak);
  if (at == std::string::npos) return;
  size_t write = at;
  size_t read = at;
  while (read < value.size()) {
    if (value.compare(read, kEncodedLineBreak.size(), kEncodedLineBreak) == 0) {
      value[write++] = '\r';
      value[write++] = '\n';
      read += kEncodedLineBreak.size();
    } else {
      value[write++] = value[read++];
    }
  }
  value.resize(write);
}

void StoreReadValue(CContactData& record, EField id, std::string& value, EDateOrder slashOrder) {
  const SRecordField& field = RecordField(id);
  switch (field.type) {
    case EFieldType::text:
      DecodeLineBreaks(value);
      record.*field.pText = value;
      break;
    case EFieldType::integer:
      record.*field.pNumber = ParseInteger(value);
      break;
    case EFieldType::date:
      ParseDateValue(value, record.*field.pDate, slashOrder);
      break;
  }
}

void AppendInteger(std::string& out, int value) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

void AppendZeroPadded(std::string& out, int value, int width) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, value < 0 ? 0 : value);
  for (auto n = r.ptr - buf; n < width; ++n) out += '0';
  out.append(buf, r.ptr);
}

}  // namespace zorvan
