// What each command of core/Commands.h runs, and when it is enabled: one
// binding per command, used alike by board cells, menu items and toolbar
// buttons. Adding a command is one row in the table of core/Commands.cpp and
// one binding here.
#pragma once

#include <array>
#include <functional>

#include "core/Commands.h"
#include "core/InputMode.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/Documents.h"
#include "document/Journal.h"
#include "document/EditView.h"
#include "input/CallBell.h"
#include "input/InputModes.h"
#include "input/ReadAloud.h"
#include "input/Selection.h"
#include "input/SettingsBoard.h"
#include "input/SlotBoard.h"

namespace velkor {

class CommandRunner : public ICommands {
 public:
  // The platform's parts it uses.
  struct Ports {
    IMainWindow& window;
    IEditArea& memMain;
  };

  // What the commands act on. They are used only when a command runs, so
  // they may be made after the runner.
  struct Parts {
    Journal& journal;
    TextEdits& edits;
    Documents& documents;
    Selection& selection;
    BoardDisplay& board;
    SlotBoard& slotBoard;
    SettingsBoard& settings;
    ReadAloud& readAloud;
    CallBell& bell;
    SentenceBoard& sentences;
    InputModes& modes;
    EditView& edit;
  };
  // What the main form itself does for the menu's items of the whole window.
  struct FormActions {
    std::function<void()> speechSettings;
    std::function<void()> magnifier;
    std::function<void()> help;
    std::function<void(bool)> showPredictionRow;
    std::function<void(bool)> quickKana;
    std::function<void()> forgetLearning;
    // Learning from the documents begins, or ends while it runs (ticked).
    std::function<void()> learnDocuments;
    std::function<bool()> learningDocuments;
  };

  CommandRunner(ProgramState& state, Ports ports, Parts parts, FormActions form);

  // Runs an enabled command, then shows what changed in the states.
  void Run(Command command, CommandSource source) override;
  bool Enabled(Command command) const override;
  bool Checked(Command command) const override;
  void Update() override;

 private:
  struct Binding {
    std::function<void(CommandSource)> run;
    std::function<bool()> enabled;  // empty: always enabled
    std::function<bool()> checked;  // empty: never ticked
  };
  // The states last shown, so that only changes reach the window.
  struct Shown {
    bool known = false;
    bool enabled = true;
    bool checked = false;
  };
  void Bind(Command command, std::function<void(CommandSource)> run, std::function<bool()> enabled = {},
            std::function<bool()> checked = {});
  void BindEditing();
  void BindDocuments();
  void BindBoard();
  void BindView();
  void BindModes();
  // 書~, 名~ and 印~ on the board need text: without any they say so.
  bool HasText(const char* nothingMessage);

  ProgramState& state_;
  Ports p_;
  Parts parts_;
  FormActions form_;
  std::array<Binding, kCommandCount> bindings_;
  std::array<Shown, kCommandCount> shown_;
};

}  // namespace velkor
