// The desktop around the program: its folders, other programs and help.
#pragma once

#include <functional>
#include <string>
#include <vector>

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

// Where the prediction lexicon may be, in the order it is looked for: beside
// the program, in the installed data beside its folder ("…/bin/" with
// "…/share/velkorlt/"), and where the build made it, which only a program
// running from its build tree looks at (an installed program never looks in
// the folder it was built in).
std::vector<std::string> LexiconFiles(const std::string& programFolder);
// The first of them that exists, and the guide found the same way; "" when
// there is none.
std::string LexiconFile(const std::string& programFolder);
std::string PhraseModelFile(const std::string& programFolder);
std::string GuideFile(const std::string& programFolder);
// The call bell's chime (made at build time by tools/gen_chime).
std::string ChimeFile(const std::string& programFolder);

}  // namespace velkor::ui
