#pragma once

#include <string>

#include <QString>

namespace lumora {

// The program keeps paths in UTF-8 on every system (the file calls of Windows take them as
// UTF-16); Qt's local 8-bit form is the system's code page there, which cannot hold every name.
inline QString PathText(const std::string& path) {
  return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

inline std::string PathBytes(const QString& path) {
  return path.toUtf8().toStdString();
}

}  // namespace lumora
