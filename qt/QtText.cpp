#include "qt/QtText.h"

#include <QDir>

#include "res/CodePage.h"

namespace zorvan {
namespace {

constexpr char16_t kEscapedByte = 0xDC00;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

QString FromFilePath(std::string_view path) {
  QString name;
  name.reserve(static_cast<qsizetype>(path.size()));
  for (size_t pos = 0; pos < path.size();) {
    const size_t start = pos;
    const char32_t c = DecodeUtf8(path, pos);
    // The decoder gives U+FFFD for one malformed byte; a U+FFFD written out takes three.
    if ((c == 0xFFFD && pos - start == 1) || IsSurrogate(c)) {
      for (size_t i = start; i < pos; ++i)
        name += QChar(kEscapedByte + static_cast<unsigned char>(path[i]));
      continue;
    }
    if (c > 0xFFFF) {
      const char32_t s[] = {c};
      name += QString::fromUcs4(s, 1);
    } else {
      name += QChar(static_cast<char16_t>(c));
    }
  }
  return name;
}

std::string ToFilePath(const QString& path) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(path.size()));
  for (qsizetype i = 0; i < path.size(); ++i) {
    const char16_t u = path[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
      AppendUtf8(bytes, QChar::surrogateToUcs4(u, path[i + 1].unicode()));
      ++i;
    } else if (u >= kEscapedByte + 0x80 && u <= kEscapedByte + 0xFF) {
      bytes += static_cast<char>(u - kEscapedByte);
    } else {
      AppendUtf8(bytes, IsSurrogate(u) ? 0xFFFD : u);
    }
  }
  return bytes;
}

QString AbsoluteFilePath(const QString& path) {
  return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

}  // namespace zorvan
