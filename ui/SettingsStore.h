// The settings store over QSettings with organisation "Quillfern" and
// application "VelkorLT3": the registry key
// HKEY_CURRENT_USER\Software\Quillfern\VelkorLT3 on Windows, and the file
// $XDG_CONFIG_HOME/Quillfern/VelkorLT3.conf here.
#pragma once

#include <QSettings>
#include <memory>

#include "core/Platform.h"

namespace velkor::ui {

class SettingsStore : public ISettingsStore {
 public:
  bool OpenForRead() override;
  bool OpenForWrite() override;
  std::u16string Read(const std::string& name) override;
  void Write(const std::string& name, const std::u16string& value) override;
  void Close() override;
  // The settings file's path.
  static QString FileName();

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace velkor::ui
