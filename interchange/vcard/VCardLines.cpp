#include "interchange/vcard/VCardLines.h"

#include <cstdint>
#include <cstring>

#include "store/TextUtil.h"

namespace zorvan {
namespace {

// Whether the name and parameters of a line say quoted-printable or base64 (ENCODING=B,
// BASE64 or the bare 2.1 word), in one pass over them.
void ScanEncoding(std::string_view head, bool& qp, bool& blob) {
  // Only a Q or a B can start either word: most heads hold neither and are passed over a word
  // at a time.
  for (size_t i = 0;; ++i) {
    i += FindEitherByte(head.data() + i, head.size() - i, 'q', 'b', true);
    if (i >= head.size()) return;
    const char c = AsciiUpper(head[i]);
    if (c == 'Q' && StartsWithUpperAscii(head.substr(i), "QUOTED-PRINTABLE")) {
      qp = true;
      blob = false;
      return;
    }
    if (c == 'B' && (i == 0 || head[i - 1] == '=' || head[i - 1] == ';' || head[i - 1] == ',')) {
      const std::string_view rest = head.substr(i);
      const bool word = rest.size() == 1 || rest[1] == ';' || rest[1] == ',';
      if (StartsWithUpperAscii(rest, "BASE64") || (word && i > 0 && head[i - 1] == '='))
        blob = true;
    }
  }
}

// PHOTO, LOGO and KEY, after any group, in the name part of a line; SOUND is not among them, as
// 2.1 phones put the phonetic name into it.
bool IsBlobName(std::string_view head, bool grouped) {
  if (head.empty()) return false;
  const char c0 = AsciiUpper(head[0]);
  if (c0 != 'P' && c0 != 'L' && c0 != 'K' && !grouped) return false;
  std::string_view name = head.substr(0, head.find(';'));
  const size_t dot = name.find('.');
  if (dot != std::string_view::npos) name.remove_prefix(dot + 1);
  name = TrimValue(name);
  return EqualsUpperAscii(name, "PHOTO") || EqualsUpperAscii(name, "LOGO") ||
         EqualsUpperAscii(name, "KEY");
}

}  // namespace

size_t CVCardLines::Scan(size_t pos, std::string_view& line) const {
  const char* base = m_text.data();
  const size_t size = m_text.size();
  const size_t at = pos + FindEitherByte(base + pos, size - pos, '\n', '\r');
  line = m_text.substr(pos, at - pos);
  if (at >= size) return size;
  if (base[at] == '\n') return at + 1;
  size_t after = at;
  while (after < size && base[after] == '\r') ++after;
  if (after < size && base[after] == '\n') ++after;
  return after;
}

SRawLine CVCardLines::TakeProperty(std::string_view first, std::string_view head, bool v21,
                                   std::string& arena) {
  bool qp = false, blob = false;
  ScanEncoding(head, qp, blob);
  // The head ends before the first colon, where a look for the group stops anyway.
  const bool grouped = HasGroup(head);
  SRawLine raw{false, static_cast<size_t>(first.data() - m_text.data()), first.size(), grouped};
  std::string_view next;
  if (blob || IsBlobName(head, grouped)) {
    // Base64 runs on over folded lines, or in 2.1 over lines of its own up to a blank line;
    // none of them holds a colon. A picture, key or sound by reference (or a data: URI) runs
    // on over folded lines only. Blanks mean nothing in either, and past the most a picture
    // may take the rest is skipped unread: such a value is refused for its size anyway.
    auto continues = [&](std::string_view line) {
      return !line.empty() &&
             (IsSpaceOrTab(line[0]) || (blob && line.find(':') == std::string_view::npos));
    };
    if (!Peek(next) || !continues(next)) return raw;
    raw = {true, arena.size(), 0, grouped};
    arena.append(TrimValue(first));
    while (Peek(next) && continues(next)) {
      if (arena.size() - raw.offset < kMaxJoinedBlobBytes) arena.append(TrimValue(next));
      Next(next);
    }
    raw.length = arena.size() - raw.offset;
    return raw;
  }
  auto toArena = [&] {
    if (raw.inArena) return;
    raw.inArena = true;
    raw.offset = arena.size();
    arena.append(first);
  };
  auto current = [&]() -> std::string_view {
    return raw.inArena ? std::string_view(arena).substr(raw.offset) : first;
  };
  while (Peek(next)) {
    const std::string_view sofar = current();
    if (qp && sofar.ends_with('=') && !IsEndLine(next) && !IsBeginLine(next)) {
      // A soft line break: the value goes on in the next line, whatever it starts with.
      toArena();
      arena.pop_back();
      arena.append(next);
    } else if (!next.empty() && IsSpaceOrTab(next[0])) {
      toArena();
      arena.append(v21 ? next : next.substr(1));
    } else if (v21 && sofar.ends_with('\\') && !next.empty() &&
               next.find(':') == std::string_view::npos && !IsEndLine(next)) {
      // Some 2.1 writers end a line with a backslash to go on in the next: a line break.
      toArena();
      arena.push_back('n');
      arena.append(next);
    } else {
      break;
    }
    Next(next);
  }
  if (raw.inArena) raw.length = arena.size() - raw.offset;
  return raw;
}

bool IsBeginLine(std::string_view line) { return EqualsUpperAscii(TrimValue(line), "BEGIN:VCARD"); }

bool IsEndLine(std::string_view line) { return EqualsUpperAscii(TrimValue(line), "END:VCARD"); }

bool HasGroup(std::string_view line) {
  for (char c : line) {
    if (c == '.') return true;
    if (c == ';' || c == ':') return false;
  }
  return false;
}

}  // namespace zorvan
