// Documents: beginning, opening and saving them (through the file dialogs, the
// recent-file menu and the board's document slots), the recent-file list, the
// window caption and printing.
#pragma once

#include <functional>
#include <string>

#include "core/Platform.h"
#include "core/ProgramState.h"
#include "document/EditView.h"
#include "document/Journal.h"
#include "document/TextEdits.h"
#include "document/Recovery.h"
#include "document/TextFile.h"
#include "core/InputMode.h"

namespace velkor {

class Documents {
 public:
  // Called whenever the save command becomes offered or not, so its menu
  // item, toolbar button and board cell show it.
  void OnSaveStateChanged(std::function<void()> changed) { saveStateChanged_ = std::move(changed); }
  // The platform's parts it uses.
  struct Ports {
    IMainWindow& window;
    IEditArea& memMain;
    IStatusLine& pnlMsg;
    IDialogs& dialogs;
    IPrinter& printer;
  };

  Documents(ProgramState& state, Ports ports, EditView& edit, Journal& journal, TextEdits& edits,
            const MessageChannel& messages, ITextFiles& files, Recovery& recovery);

  void ActFileNewExecute();
  void ActFileOpenExecute();
  void ActFileSaveExecute();
  void ActFileAddExecute();
  // Recent-file menu item 0 to 9.
  void MnuFileUseS0Click(int item);

  // Loads `path` as the document (a path that does not exist gives an empty
  // document under that name). Asks about unsaved work in click mode.
  void OpenDocument(const std::string& path);
  // Writes the edit area to `path`; does nothing while the document is
  // untitled. False when nothing was written.
  bool SaveDocument(const std::string& path);
  void SaveDocumentAs();
  // Puts `path` at the top of the recent-file list; an empty path only
  // refreshes the menu captions.
  void AddRecentFile(const std::string& path);

  // The print dialog, then one print job per copy of the text or selection.
  void ActFilePrintExecute();
  // Prints the text as one job on the printer chosen last, in the edit font.
  // False (and "印刷エラー" reported) when the job could not be printed.
  bool PrintText(const std::string& text);

  // The file of document slot `n`, and its status-line preview.
  std::string SlotPathOf(int n) const;
  std::string SlotPreviewOf(int n, const std::string& prefix) const;

  void Message(const std::string& text) { messages_.Say(text); }
  ITextFiles& Files() { return files_; }

 private:
  // Unsaved work before another document (`next`, "" for a new one) replaces
  // it: asked about in click mode, else kept in a slot. False to stay.
  bool AskUnsavedWork(const char* question, const std::string& next);
  // A document slot (文書NN.txt in a data folder) is read and written only as
  // the user's own plain file; any other document as the user named it.
  FileRule RuleFor(const std::string& path) const;
  void SetDialogFolders(const std::string& path);
  void FocusEditArea();
  // The save command offered or not; the commands' places are told at once.
  void EnableSave(bool enabled);

  ProgramState& state_;
  Ports p_;
  std::function<void()> saveStateChanged_;
  EditView& edit_;
  Journal& journal_;
  TextEdits& edits_;
  const MessageChannel& messages_;
  ITextFiles& files_;
  Recovery& recovery_;
  std::string openFolder_;
  std::string saveFolder_;
};

}  // namespace velkor
