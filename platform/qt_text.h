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

// A name as searches compare it: case folded and without diacritics, so that
// "zawor" finds "Zawór" and "ZAWÓR" ("ł" has no decomposition and is taken
// as "l").
inline QString searchKey(const QString& text) {
  const QString decomposed = text.normalized(QString::NormalizationForm_KD);
  QString key;
  key.reserve(decomposed.size());
  for (QChar c : decomposed) {
    if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining ||
        c.category() == QChar::Mark_Enclosing)
      continue;
    if (c == QChar(0x0141) || c == QChar(0x0142)) c = QLatin1Char('l');
    key += c;
  }
  return key.toCaseFolded();
}
// Whether `name` holds `wanted` as a search sees it; an empty `wanted` is in
// every name.
inline bool searchMatches(const QString& name, const QString& wanted) {
  return searchKey(name).contains(searchKey(wanted));
}

}  // namespace platform
