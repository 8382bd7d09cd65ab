#include "platform/registry_store.h"

#include <QSettings>
#include <cstdlib>
#include <memory>

namespace platform {
namespace {

std::unique_ptr<QSettings> open() {
  const char* file = std::getenv("VERDIMO_CONFIG");
  if (file && *file) return std::make_unique<QSettings>(QString::fromLocal8Bit(file), QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Korvex", "Verdimo");
}

}  // namespace

std::string registryFile() { return open()->fileName().toStdString(); }

bool readRegistryValue(const std::string& name, std::string& text) {
  auto s = open();
  const QString key = QString::fromStdString(name);
  if (!s->contains(key)) return false;
  text = s->value(key).toString().toStdString();
  return true;
}

bool writeRegistryValue(const std::string& name, const std::string& text) {
  auto s = open();
  s->setValue(QString::fromStdString(name), QString::fromStdString(text));
  s->sync();
  return s->status() == QSettings::NoError;
}

}  // namespace platform
