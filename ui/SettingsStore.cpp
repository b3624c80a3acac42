#include "ui/SettingsStore.h"

#include <sys/stat.h>

#include <QFile>
#include <QStandardPaths>

#include "ui/QtText.h"

namespace velkor::ui {

namespace {

// QSettings opens its file as it is made: a FIFO or a device in the settings
// file's place would block the start for ever. Such a file is left alone and
// the settings are those of a first run.
bool SettingsFileUsable() {
  const QString path = SettingsStore::FileName();
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return true;  // none yet
  return S_ISREG(info.st_mode);
}

}  // namespace

QString SettingsStore::FileName() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Quillfern/VelkorLT3.conf");
}

bool SettingsStore::OpenForRead() {
  settings_.reset();
  if (!SettingsFileUsable()) return false;
  settings_ = std::make_unique<QSettings>(QStringLiteral("Quillfern"), QStringLiteral("VelkorLT3"));
  return settings_->status() == QSettings::NoError && !settings_->allKeys().isEmpty();
}

bool SettingsStore::OpenForWrite() {
  settings_.reset();
  if (!SettingsFileUsable()) return false;
  settings_ = std::make_unique<QSettings>(QStringLiteral("Quillfern"), QStringLiteral("VelkorLT3"));
  return settings_->isWritable();
}

std::u16string SettingsStore::Read(const std::string& name) {
  if (!settings_) return {};
  // A value of another type than text (hand-edited) reads as its text form,
  // or as the empty text. An unquoted list (Option=0,3,0,...) is read by Qt
  // as a list of texts: joined again, it is the text that was written.
  const QVariant value = settings_->value(FromUtf8(name));
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(',')).toStdU16String();
  return value.toString().toStdU16String();
}

void SettingsStore::Write(const std::string& name, const std::u16string& value) {
  if (settings_) settings_->setValue(FromUtf8(name), QString::fromStdU16String(value));
}

void SettingsStore::Close() {
  if (settings_) settings_->sync();
  settings_.reset();
}

}  // namespace velkor::ui
