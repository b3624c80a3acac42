#include "ui/SettingsStore.h"

#include "ui/QtText.h"

namespace velkor::ui {

bool SettingsStore::OpenForRead() {
  settings_ = std::make_unique<QSettings>(QStringLiteral("Quillfern"), QStringLiteral("VelkorLT3"));
  return settings_->status() == QSettings::NoError;
}

bool SettingsStore::OpenForWrite() {
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
