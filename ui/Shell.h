// The desktop around the program: its folders, other programs and help.
#pragma once

#include <functional>
#include <string>

#include "core/Platform.h"

namespace velkor::ui {

// Where a program folder ("…/bin/") is: installed when share/velkorlt/ lies
// beside it, the build folder when CMake's cache lies in it, else a folder of
// the program's own.
ProgramPlace PlaceOf(const std::string& programFolder);

class Shell : public IShell {
 public:
  std::string ProgramFolder() const override;
  std::string PerUserDataFolder() const override;
  void StartProgram(const std::string& fileName) override;
  // The help here is the guide shown inside the program (the handler the
  // main window gives); the help file named is not of this platform.
  void ShowHelp(const std::string& helpFile, const std::string& topic) override;
  void OnShowHelp(std::function<void()> handler) { onShowHelp_ = std::move(handler); }
  ProgramPlace Place() const override { return PlaceOf(ProgramFolder()); }

 private:
  std::function<void()> onShowHelp_;
};

// The installed data beside a program folder ("…/bin/"), else what the build
// made: the prediction lexicon, its phrase model and the guide; "" when
// there is none.
std::string LexiconFile(const std::string& programFolder);
std::string PhraseModelFile(const std::string& programFolder);
std::string GuideFile(const std::string& programFolder);

}  // namespace velkor::ui
