#include "app/command_line.h"

#include <QFileInfo>
#include <QUrl>

bool projectArgument(const QStringList& args, QString& project, QString& error) {
  project.clear();
  bool optionsEnd = false;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args.at(i);
    if (!optionsEnd && a == QLatin1String("--")) {
      optionsEnd = true;
      continue;
    }
    if (!optionsEnd && a.startsWith('-') && a.size() > 1) {
      error = QStringLiteral("unknown option %1").arg(a);
      return false;
    }
    if (!project.isEmpty()) {
      error = QStringLiteral("one project at a time (%1 and %2)").arg(project, a);
      return false;
    }
    QString path = a;
    if (a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
      const QUrl url(a);
      // A file on another host is not a path here.
      const bool otherHost = !url.host().isEmpty() && url.host() != QLatin1String("localhost");
      if (!url.isValid() || !url.isLocalFile() || otherHost || url.path().isEmpty()) {
        error = QStringLiteral("not a local file: %1").arg(a);
        return false;
      }
      path = url.path();
    }
    project = QFileInfo(path).absoluteFilePath();
  }
  return true;
}
