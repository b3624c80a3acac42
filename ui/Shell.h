// The desktop around the program: its folders, other programs and help.
#pragma once

#include "core/Platform.h"

namespace velkor::ui {

class Shell : public IShell {
 public:
  std::string ProgramFolder() const override;
  std::string PerUserDataFolder() const override;
  void StartProgram(const std::string& fileName) override;
  void ShowHelp(const std::string& helpFile, const std::string& topic) override;
};

}  // namespace velkor::ui
