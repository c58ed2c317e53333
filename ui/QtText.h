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

}  // namespace zorvan
