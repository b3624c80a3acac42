// The main window's logic from creation to close: paths, settings, the board
// lists, the first showing and the close, help and the magnifier.
#pragma once

#include <string>

#include "core/Captions.h"
#include "core/Platform.h"
#include "core/ProgramState.h"
#include "board/BoardDisplay.h"
#include "board/BoardEditing.h"
#include "document/Documents.h"
#include "document/EditView.h"
#include "document/Journal.h"
#include "document/TextEdits.h"
#include "input/ArrowKeys.h"
#include "input/BoardLists.h"
#include "input/CallBell.h"
#include "input/DwellTracker.h"
#include "input/InputModes.h"
#include "input/ReadAloud.h"
#include "input/SlotBoard.h"
#include "form/CommandRunner.h"
#include "input/DocumentLearning.h"
#include "input/Learning.h"
#include "input/Prediction.h"
#include "input/PredictionRow.h"
#include "input/Scanner.h"
#include "input/Selection.h"

namespace velkor {

inline constexpr char kHelpFileName[] = "VelkorLTH.hlp";
inline constexpr char kHelpTopic[] = "FrmVelkorMain";
inline constexpr char kMagnifierProgram[] = "Velkorb.exe";
inline constexpr char kDataFolderName[] = "Data/";
// Below the per-user data folder when the program folder cannot hold "Data/".
inline constexpr char kPerUserDataFolder[] = "VelkorLT/Data/";
inline constexpr char kDataDirError[] = "Cannot create DataDir";
// What the user has written, learned: below the per-user data folder.
inline constexpr char kLearningFolder[] = "VelkorLT/";
inline constexpr char kLearningFileName[] = "learning.txt";
// What the conversion engine learns: below the per-user data folder.
inline constexpr char kAnthyFolder[] = "VelkorLT/anthy/";
// The document slots 文書00.txt to 文書99.txt, which learning reads.
inline constexpr int kDocumentSlots = 100;
// The pause between two steps of learning from the documents: the window
// handles what came in meanwhile.
inline constexpr int kLearnTickMs = 10;

class MainForm {
 public:
  explicit MainForm(Platform platform);

  // Fixes the paths, loads the settings and builds the board lists. False when
  // no data folder can be had: the error was shown and the program must end
  // without writing settings.
  bool FormCreate();
  // The first showing: starts the journal, applies the settings, fills the board.
  void FormShow();
  // Resets to an untitled document and applies the window's settings.
  void ApplyWindowSettings();
  // A request to close. False when the user chose to stay; otherwise the
  // settings were written and the window may close.
  bool FormClose();
  // The desktop session ends: nobody can answer a question now, so unsaved
  // text is kept as a close without a question keeps it (or, failing that,
  // stays in the recovery copy), and the settings are written.
  void EndSession();
  // The session manager asks to save before the session may end; the end
  // may still be cancelled. The unsaved text goes into the recovery copy at
  // once (the next start puts it in a slot should the program not run on),
  // and the settings and what was learned are written; the program stays as
  // it was, and its next close asks as usual.
  void SessionMayEnd();
  // Closing ends here once: the settings are written and the journal ended.
  bool Closed() const { return closed_; }
  // Said in the status line's message place when the window shows, never in
  // a box: what the program lacks but works without (the prediction lexicon).
  void AddStartRemark(const std::string& text);

  void MnuHelpClick();
  // "読み上げの設定(&S)": the speed and the volume of reading aloud.
  void MnuDspSpeechClick();
  void ActExeZoomExecute();
  // Ten seconds after a change: the recovery copy is kept, and what was
  // learned is written.
  void RecoveryTimerTick();
  // The edit area's change notification.
  void MemMainChange();
  // Text came in with characters the code page cannot hold: they are shown
  // as the "?" the file will hold, and the user is told.
  void UnholdableTextEntered();

  // Forgets everything learned, on a machine shared with another person,
  // after the user agreed; the emptied file is written at once.
  void ForgetLearning();
  // The prediction row shown (all its cells) or hidden, and one selection
  // per kana on or off: stored at once and shown at once.
  void ShowPredictionRow(bool shown);
  void SetQuickKana(bool on);
  // Writes what was learned or forgotten, merged with the file as other
  // programs left it; nothing when nothing changed. "" or the message for
  // the user (why it could not be written, where a damaged file was kept).
  std::string SaveLearning();
  // Learning from the hundred document slots and the text being written
  // begins, in small steps of the learn timer; while it runs, it stops
  // (what was learned so far stays). The count is said in the message place.
  void LearnFromDocuments();
  bool LearningFromDocuments() const { return docLearning_.Running(); }
  // The learn timer's tick: one step, and the count; at the end what was
  // learned is said and written.
  void LearnTick();
  DocumentLearning& DocLearning() { return docLearning_; }

  // A message on the mode's channel: a message box in click mode, the status
  // line otherwise.
  void Message(const std::string& text);

  ProgramState& State() { return state_; }
  // Where what is learned for the prediction row is kept, and its folder
  // (which also keeps the old text of a file written in place until the
  // new text is on the disk).
  std::string LearningPath() const;
  std::string LearningFolder() const;
  Platform& Plat() { return p_; }
  BoardDisplay& Board() { return board_; }
  InputModes& Modes() { return modes_; }
  EditView& Edit() { return edit_; }
  Journal& UndoLog() { return journal_; }
  TextEdits& Edits() { return edits_; }
  Documents& Docs() { return documents_; }
  Recovery& Unsaved() { return recovery_; }
  Selection& Select() { return selection_; }
  DwellTracker& Pointer() { return tracker_; }
  ArrowKeys& Keys() { return keys_; }
  BoardLists& Lists() { return lists_; }
  SlotBoard& Slots() { return slots_; }
  ICommands& Commands() { return commands_; }
  Conversion& Converting() { return conversion_; }
  BoardEditing& Editing() { return editing_; }
  Learning& Learned() { return learning_; }
  PredictionRow& Row() { return row_; }
  SettingsBoard& SettingsFace() { return settings_; }
  Scanner& Scan() { return scanner_; }
  // A key or mouse press in the window: true when it was the scan switch
  // and belongs to scanning (a held key's repeats are taken, not acted on).
  // On the start face every key is the keys' (any key chooses).
  bool SwitchPressed(SwitchInput input, bool repeat) { return !start_.Shown() && scanner_.Press(input, repeat); }
  // A key or button let go (a held key's repeats aside), and the hold timer
  // running out: a scan switch held down long enough rings the call bell.
  void SwitchReleased(SwitchInput input) { scanner_.Release(input); }
  void HoldTick() { scanner_.HoldTick(); }
  CallBell& Bell() { return bell_; }
  SentenceBoard& Sentences() { return sentences_; }
  ReadAloud& Reading() { return readAloud_; }
  StartFace& Start() { return start_; }
  // The pointer moved in the window; the scan timer ticked; the board grid
  // was resized.
  void PointerMoved();
  void ScanTick();
  void GridResized();
  // What lies under the pointer changed without it moving (nothing: anywhere,
  // as when a window over the board closed or the window was raised).
  void ShownChanged(std::optional<Place> place);

 private:
  bool ChooseDataDir(const std::string& programFolder);
  void SaveSettings();
  // Writes what was learned and says a message not said before.
  void SaveLearningAndSay();
  // Files whose save was cut short by the end of a program get their old
  // text back; temporary files of ended programs go.
  void RepairFolders();
  // The input sources follow a change of the input mode.
  void ModeChanged();
  void WireBell();
  // Prediction learns conversions; the settings board starts and stops
  // learning from the documents; a candidate forgotten is written at once.
  void WireLearning();
  // Learning from the documents stops where it is (what it learned stays).
  void StopLearningFromDocuments();
  // The board area's share of the window's height, and the window filling
  // the screen, as the settings say.
  void ApplyBoardShare();

  Platform p_;
  ProgramState state_;
  BoardDisplay board_;
  InputModes modes_;
  Journal journal_;
  Recovery recovery_;
  TextEdits edits_;
  EditView edit_;
  Documents documents_;
  Conversion conversion_;
  Learning learning_;
  DocumentLearning docLearning_;
  Prediction prediction_;
  PredictionRow row_;
  SettingsBoard settings_;
  SentenceBoard sentences_;
  StartFace start_;
  BoardLists lists_;
  SlotBoard slots_;
  ReadAloud readAloud_;
  CallBell bell_;
  CommandRunner commands_;
  Selection selection_;
  DwellTracker tracker_;
  ArrowKeys keys_;
  Scanner scanner_;
  BoardEditing editing_;
  bool closed_ = false;
  std::string startNotice_;  // said once the window shows
  std::string startRemark_;  // said in the message place once the window shows
  // The start notice while its box is open: a session that ends meanwhile
  // leaves it for the next start.
  std::string startNoticeOpen_;
  std::string learningSaid_;  // the last message about learning, said once
};

}  // namespace velkor
