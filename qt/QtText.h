#pragma once

#include <QString>
#include <string>
#include <string_view>

// The one place where the core's UTF-8 texts and Qt's strings meet.
namespace zorvan {

inline QString ToQString(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string ToStdString(const QString& s) { return s.toStdString(); }

// File names are the file system's bytes, which need not be UTF-8 ("bad\xff.zvd"). Qt turns a
// byte that is no UTF-8 into U+FFFD and so names another file; here each such byte becomes a
// lone surrogate U+DC80..U+DCFF instead, which ToFilePath turns back into the very byte.
QString FromFilePath(std::string_view path);
std::string ToFilePath(const QString& path);
// The full, clean path of a file named from the current folder; unlike QFileInfo's it keeps
// those bytes.
QString AbsoluteFilePath(const QString& path);

}  // namespace zorvan
