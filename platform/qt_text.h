#pragma once
// Texts crossing between the model (Windows-1250 bytes) and Qt.

#include <QString>
#include <string>

#include "platform/textcodec.h"

namespace platform {

inline QString toQString(const std::string& cp1250) { return QString::fromStdString(cp1250ToUtf8(cp1250)); }
inline std::string fromQString(const QString& s) { return utf8ToCp1250(s.toStdString()); }
// A literal of the sources (UTF-8) as the model's text.
inline std::string cp(const char* utf8) { return utf8ToCp1250(utf8); }

}  // namespace platform
