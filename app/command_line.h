#pragma once
// The program's command line, once Qt has taken its own options from it.

#include <QString>
#include <QStringList>

// The project named on the command line (`args` as QCoreApplication gives
// them, the program first): a path or a local file:// URI, made absolute.
// `project` stays empty when none is named. False, with `error` saying why,
// for an unknown option, a second project or a URI that is not a local file.
bool projectArgument(const QStringList& args, QString& project, QString& error);
