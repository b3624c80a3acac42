#include "form/MainForm.h"

#include "board/BoardModel.h"
#include "core/Cp932.h"
#include "form/DataFolder.h"

namespace velkor {

MainForm::MainForm(Platform platform)
    : p_(platform),
      board_(state_, {p_.window, p_.memMain, p_.sgd00, p_.tabC00, p_.pnlMsg, p_.dialogs, p_.predictionRow}),
      modes_(state_, {p_.window, p_.pnlMsg}),
      journal_(p_.memMain),
      recovery_(state_, {p_.memMain, p_.fs, p_.files, p_.recoveryTimer}),
      edits_(state_, {p_.window, p_.memMain}, journal_, recovery_),
      edit_(state_, {p_.window, p_.memMain, p_.edtInp, p_.sgd00, p_.dialogs}, edits_),
      documents_(state_, {p_.window, p_.memMain, p_.pnlMsg, p_.dialogs, p_.printer}, edit_, journal_, edits_,
                 modes_.Channel(), p_.files, recovery_),
      conversion_(state_, {p_.memMain, p_.converter}, edits_),
      docLearning_(learning_, p_.predictor, p_.files, p_.clock),
      prediction_(p_.predictor, learning_),
      row_(state_, {p_.memMain, p_.predictionRow}, prediction_, edits_),
      settings_(state_, {p_.sgd00, p_.tabC00}, board_, modes_, row_),
      sentences_(state_, {p_.sgd00, p_.tabC00}, board_, learning_),
      start_(state_, {p_.sgd00, p_.tabC00, p_.window, p_.scanTimer, p_.pnlMsg}, board_, settings_),
      lists_({p_.sgd00, p_.sgd01}, conversion_, documents_),
      slots_(state_, {p_.sgd00, p_.tabC00, p_.memMain, p_.window}, board_, documents_),
      readAloud_(state_, {p_.memMain, p_.speech}, [this](const std::string& text) { Message(text); }),
      bell_(state_, {p_.bell, p_.pnlMsg}, [this] { return selection_.Paused(); }),
      commands_(state_, {p_.window, p_.memMain},
                {journal_, edits_, documents_, selection_, board_, slots_, settings_, readAloud_, bell_, sentences_,
                 modes_, edit_},
                {[this] { MnuDspSpeechClick(); }, [this] { ActExeZoomExecute(); }, [this] { MnuHelpClick(); },
                 [this](bool shown) { ShowPredictionRow(shown); }, [this](bool on) { SetQuickKana(on); },
                 [this] { ForgetLearning(); }, [this] { LearnFromDocuments(); },
                 [this] { return docLearning_.Running(); }}),
      selection_(state_, {p_.memMain, p_.edtInp, p_.sgd00, p_.pnlMsg},
                 {board_, lists_, slots_, settings_, start_, row_, sentences_}, edit_, edits_, commands_),
      tracker_(state_, {p_.pointer, p_.tmrInput0, p_.clock, p_.pnlMsg, p_.sgd00, p_.sgd01, p_.predictionRow},
               selection_),
      keys_(state_, {p_.sgd00, p_.sgd01, p_.predictionRow}, selection_),
      scanner_(state_, {p_.sgd00, p_.sgd01, p_.predictionRow, p_.pnlMsg, p_.scanTimer, p_.holdTimer}, selection_),
      editing_(state_, {p_.sgd00, p_.tabC00, p_.dialogs}) {
  board_.UseCommands(commands_);
  settings_.OnModeChanged([this] { ModeChanged(); });
  settings_.OnShowStartFace([this] { start_.Show(); });
  settings_.OnShowGuide([this] { MnuHelpClick(); });
  start_.OnDone([this] { scanner_.Follow(); p_.memMain.SetFocus(); });
  modes_.OnModeSet([this] { ModeChanged(); });
  WireBell();
  // What the pointer rests on changes when the board, the list or the row
  // shows something else.
  board_.OnShownChanged([this] { ShownChanged(selection_.Face()); });
  lists_.OnShownChanged([this] { ShownChanged(Place::List); });
  row_.OnRefilled([this] { ShownChanged(Place::Row); });
  // Every change on the settings board is stored at once (the lists as they
  // stand; the window's place is written when it closes).
  settings_.OnChanged([this] {
    state_.settings.Write(p_.store);
    ApplyBoardShare();
    commands_.Update();
  });
  documents_.OnSaveStateChanged([this] { commands_.Update(); });
  WireLearning();
}

void MainForm::WireLearning() {
  prediction_.UseConverter(p_.converter, [this] { return conversion_.Active(); });
  conversion_.OnConverted([this](const std::string& reading, const std::string& text) {
    prediction_.Converted(reading, text, static_cast<std::size_t>(std::max(0, p_.memMain.SelStart())));
  });
  settings_.OnLearnFromDocuments([this] { LearnFromDocuments(); },
                                 [this]() -> std::optional<std::pair<int, int>> {
                                   if (!docLearning_.Running()) return std::nullopt;
                                   return std::make_pair(docLearning_.Done(), docLearning_.Total());
                                 });
  // A candidate forgotten on the row is written at once: it stays forgotten
  // should the program end before the next write.
  row_.OnForgot([this](const std::string&) { SaveLearningAndSay(); });
}

void MainForm::WireBell() {
  // The switch held down rings the bell as 鈴~ does; the chime ending by
  // itself takes its message away.
  scanner_.OnHeld([this] { commands_.Run(Command::CallBell, CommandSource::Board); });
  p_.bell.OnFinished([this] { bell_.Finished(); });
  sentences_.OnSpeak([this](const std::string& sentence) { readAloud_.Say(sentence); });
  scanner_.OnSpeak([this](const std::string& text) { readAloud_.SayBriefly(text); });
}

void MainForm::ModeChanged() {
  if (!DwellModeOn(state_.settings)) tracker_.Stop();
  scanner_.Follow();
  commands_.Update();
}

void MainForm::ShownChanged(std::optional<Place> place) { tracker_.ShownChanged(place); }

bool MainForm::ChooseDataDir(const std::string& programFolder) {
  // An installed program's folder may not be writable, and a build folder is
  // deleted whole by a clean build: there the per-user data folder holds the
  // document slots.
  const std::string beside = programFolder + kDataFolderName;
  state_.perUserDataDir = p_.shell.PerUserDataFolder() + kPerUserDataFolder;
  const ProgramPlace place = p_.shell.Place();
  state_.dataDir.clear();
  for (const std::string& dir : DataDirCandidates(place, beside, state_.perUserDataDir)) {
    const bool existed = p_.fs.DirectoryExists(dir);
    if ((existed || p_.fs.CreateDirectories(dir)) && p_.fs.DirectoryWritable(dir)) {
      state_.dataDir = dir;
      if (!existed && place != ProgramPlace::OwnFolder) startNotice_ = FirstStartNotice(place, dir);
      break;
    }
    // Documents kept beside the program would look missing from the slot
    // board: the user is told where the slots are now, and why.
    if (dir == beside && existed) {
      startNotice_ =
          cp932::FromUtf8("文書は " + state_.perUserDataDir + " に保存します（" + beside + " に書き込めないため）");
    }
  }
  if (state_.dataDir.empty()) return false;
  // Documents an earlier version kept in the build folder are moved out of
  // it before anything else reads the slots (their recovery copies too).
  if (place == ProgramPlace::BuildTree && p_.fs.DirectoryExists(beside)) {
    const DataMove move = MoveDataOut(p_.fs, beside, state_.dataDir, p_.shell.PerUserDataFolder() + kBuildDataAside);
    const std::string notice = DataMoveNotice(move, beside, state_.dataDir);
    if (!notice.empty()) startNotice_ += (startNotice_.empty() ? "" : cp932::FromUtf8("　")) + notice;
  }
  return true;
}

bool MainForm::FormCreate() {
  const std::string programFolder = p_.shell.ProgramFolder();
  state_.helpFileName = programFolder + kHelpFileName;
  if (!ChooseDataDir(programFolder)) {
    p_.window.ShowMessage(kDataDirError, MessageIcon::Error);
    return false;
  }
  recovery_.Recover();
  RepairFolders();

  SettingsEnvironment env;
  env.screenWidth = p_.window.ScreenWidth();
  env.screenHeight = p_.window.ScreenHeight();
  const WindowRect design = p_.window.Geometry();
  env.windowWidth = design.width;
  env.windowHeight = design.height;
  env.editFont = p_.memMain.Font();
  env.boardFont = p_.sgd00.Font();
  env.userTabContent[0] = board::DefaultUserTabContent(1);
  env.userTabContent[1] = board::DefaultUserTabContent(2);
  state_.settings.Load(p_.store, env);
  documents_.AddRecentFile("");  // the recent-file menu shows the stored list

  state_.defaultBoardList = board::BuiltInBoard();
  // Damaged lines of the learning file are skipped and the user is told, as
  // when the file will never be written.
  learningSaid_ = learning_.Load(p_.files, LearningPath());
  if (!learningSaid_.empty()) startNotice_ += (startNotice_.empty() ? "" : cp932::FromUtf8("　")) + learningSaid_;
  return true;
}

void MainForm::RepairFolders() {
  const std::string keep = LearningFolder();
  p_.files.SetKeepFolder(keep);
  std::vector<std::string> folders{keep, state_.dataDir};
  if (state_.perUserDataDir != state_.dataDir) folders.push_back(state_.perUserDataDir);
  for (const std::string& folder : folders) {
    for (const std::string& said : p_.files.RestoreInterruptedWrites(folder))
      startNotice_ += (startNotice_.empty() ? "" : cp932::FromUtf8("　")) + said;
  }
  if (p_.fs.DirectoryExists(keep)) recovery_.RemoveStaleTemporaryFiles(keep);
}

std::string MainForm::LearningPath() const { return LearningFolder() + kLearningFileName; }

std::string MainForm::LearningFolder() const { return p_.shell.PerUserDataFolder() + kLearningFolder; }

std::string MainForm::SaveLearning() {
  if (!learning_.Unsaved()) return "";
  const std::string folder = LearningFolder();
  if (!p_.fs.DirectoryExists(folder)) p_.fs.CreateDirectories(folder);
  return learning_.Sync(p_.files, p_.fs, LearningPath());
}

void MainForm::SaveLearningAndSay() {
  const std::string said = SaveLearning();
  // A failure is said once, not at every write that fails the same way.
  if (!said.empty() && said != learningSaid_) Message(said);
  learningSaid_ = said;
}

void MainForm::RecoveryTimerTick() {
  recovery_.RecoveryTimerTick();
  SaveLearningAndSay();
}

void MainForm::ShowPredictionRow(bool shown) {
  state_.settings.SetNamed(named::kPredictionCells, shown ? std::to_string(kMaxPredictionCells) : "0");
  row_.Refresh();
}

void MainForm::SetQuickKana(bool on) {
  state_.settings.SetNamed(named::kQuickKana, on ? "1" : "0");
  // The modifier cell comes and goes with it.
  board_.FillBoard();
}

void MainForm::ForgetLearning() {
  // Reached from the menu only, so a click can answer; nothing learned is
  // lost by a slip.
  if (!p_.window.AskYesNo(cp932::FromUtf8("これまでに学習した語と文をすべて忘れます。よろしいですか？"))) return;
  learning_.Forget();
  prediction_.Forget();
  std::string said = SaveLearning();
  // Forgetting that could not be written is said: the file still holds it.
  if (!learning_.Unsaved()) {
    said = cp932::FromUtf8("学習した語と文をすべて忘れました") + (said.empty() ? "" : cp932::FromUtf8("　") + said);
  }
  learningSaid_ = said;
  Message(said);
  row_.Refresh();
}

void MainForm::StopLearningFromDocuments() {
  docLearning_.Cancel();
  p_.learnTimer.Stop();
}

void MainForm::LearnFromDocuments() {
  if (docLearning_.Running()) {
    StopLearningFromDocuments();
    p_.pnlMsg.SetMessage(docLearning_.ResultText());
    SaveLearningAndSay();
    commands_.Update();
    return;
  }
  std::vector<std::string> slots;
  for (int n = 0; n < kDocumentSlots; ++n) slots.push_back(documents_.SlotPathOf(n));
  docLearning_.Start(p_.memMain.Text(), slots);
  if (!docLearning_.Running()) {
    p_.pnlMsg.SetMessage(docLearning_.ResultText());
    return;
  }
  p_.pnlMsg.SetMessage(docLearning_.ProgressText());
  p_.learnTimer.SetIntervalMs(kLearnTickMs);
  p_.learnTimer.Start();
  commands_.Update();
}

void MainForm::LearnTick() {
  if (!docLearning_.Running() || closed_) {
    p_.learnTimer.Stop();
    return;
  }
  if (docLearning_.Step()) {
    p_.pnlMsg.SetMessage(docLearning_.ProgressText());
    return;
  }
  p_.learnTimer.Stop();
  p_.pnlMsg.SetMessage(docLearning_.ResultText());
  SaveLearningAndSay();
  row_.Refresh();
  commands_.Update();
}

void MainForm::FormShow() {
  journal_.Begin();
  ApplyWindowSettings();
  board_.FillBoard();
  row_.Refresh();
  edit_.ApplyWordWrap();
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
  ApplyBoardShare();
  const WindowRect at = p_.window.Geometry();
  // A window stored larger than the screen, or the large cells chosen, fill
  // the screen.
  if (at.width > p_.window.ScreenWidth() || at.height > p_.window.ScreenHeight() ||
      (state_.settings.FitCells() && state_.settings.BoardShare() > 0))
    p_.window.Maximise();
  // The very first start asks how the program is used, with choices large
  // enough for any input, before the board.
  if (state_.settings.FirstStart()) start_.Show();
  scanner_.Follow();
  commands_.Update();
  // Where the data folder is, when it is not where the user kept documents,
  // and where the unsaved text of the last run went.
  std::string notice = startNotice_;
  if (!recovery_.Notice().empty()) notice += (notice.empty() ? "" : cp932::FromUtf8("　")) + recovery_.Notice();
  if (!startRemark_.empty()) {
    if (modes_.Channel().AsksQuestions()) {
      p_.pnlMsg.SetMessage(startRemark_);
    } else {
      notice += (notice.empty() ? "" : cp932::FromUtf8("　")) + startRemark_;
    }
  }
  if (notice.empty()) return;
  // No box a user who cannot click yet would have to close: on the start
  // face the notice goes to the message place.
  if (start_.Shown()) {
    p_.pnlMsg.SetMessage(notice);
    return;
  }
  startNoticeOpen_ = notice;
  Message(notice);
  startNoticeOpen_.clear();
}

void MainForm::AddStartRemark(const std::string& text) {
  if (!text.empty()) startRemark_ += (startRemark_.empty() ? "" : cp932::FromUtf8("　")) + text;
}

void MainForm::ApplyBoardShare() {
  const Settings& s = state_.settings;
  p_.window.SetBoardShare(s.FitCells() ? s.BoardShare() : 0);
}

void MainForm::PointerMoved() {
  start_.Input();
  tracker_.PointerMoved();
}

void MainForm::ScanTick() {
  if (start_.Shown()) {
    start_.Tick();
  } else {
    scanner_.Tick();
  }
}

void MainForm::GridResized() {
  if (start_.Shown()) {
    start_.Layout();
  } else if (sentences_.Shown()) {
    sentences_.Layout();
  } else {
    board_.FitCells();
  }
}

void MainForm::ApplyWindowSettings() {
  const Settings& s = state_.settings;
  state_.curFileName.clear();
  state_.saveEnabled = false;
  p_.window.SetCaption(UntitledCaption());
  edits_.Clear();
  p_.sgd00.SetShape(board::kColCount, board::kRowCount, board::kFixedCount, board::kFixedCount);
  p_.window.SetGeometry({s.CrtInt(crt::kWindowLeft), s.CrtInt(crt::kWindowTop), s.CrtInt(crt::kWindowWidth),
                         s.CrtInt(crt::kWindowHeight)});
  edit_.ApplyEditFont();
  p_.window.SetLowerPanelHeight(s.CrtInt(crt::kLowerPanelHeight));
  p_.window.SetBoardPanelWidth(s.CrtInt(crt::kBoardPanelWidth));
  board_.ApplyBoardFont();
  p_.tabC00.SetNames(board::ReadTabNames(s.crtList.at(crt::kTabNames)));
  const int tab = s.CrtInt(crt::kSelectedTab);
  p_.tabC00.SetIndex(tab >= 0 && tab < board::kTabCount ? tab : board::kBuiltInTab);
  p_.memMain.SetBackground(s.CrtColour(crt::kEditBackground));
  p_.sgd00.SetBackground(s.CrtColour(crt::kBoardBackground));
}

bool MainForm::FormClose() {
  if (closed_) return true;
  const bool ask = p_.memMain.Modified() && modes_.ClickMode();
  if (ask && !p_.window.AskYesNo(cp932::FromUtf8("編集中です。終了しますか？"))) return false;
  // Unsaved text that nobody was asked about is kept in a document slot; when
  // nothing can hold it, the window stays open.
  if (const Recovery::Kept kept = recovery_.Close(ask); !kept.ok) {
    Message(kept.message);
    return false;
  }
  state_.defaultBoardList.clear();
  // What was learned from the documents so far is written with the rest.
  StopLearningFromDocuments();
  SaveSettings();
  SaveLearningAndSay();
  journal_.End();
  closed_ = true;
  return true;
}

void MainForm::EndSession() {
  if (closed_) return;
  recovery_.Close(false);
  // A start notice whose box the end of the session closed is said again at
  // the next start: where recovered text went is never lost.
  if (!startNoticeOpen_.empty()) recovery_.LeaveNotice(startNoticeOpen_);
  startNoticeOpen_.clear();
  StopLearningFromDocuments();
  SaveSettings();
  SaveLearning();  // nobody can read a message now
  journal_.End();
  closed_ = true;
}

void MainForm::SessionMayEnd() {
  if (closed_) return;
  recovery_.RecoveryTimerTick();
  SaveSettings();
  SaveLearning();
}

void MainForm::SaveSettings() {
  board_.SaveTabSizes();
  Settings& s = state_.settings;
  StringList& crt = s.crtList;
  const WindowRect rect = p_.window.Geometry();
  crt.at(crt::kWindowWidth) = std::to_string(rect.width);
  crt.at(crt::kWindowHeight) = std::to_string(rect.height);
  crt.at(crt::kWindowLeft) = std::to_string(rect.left);
  crt.at(crt::kWindowTop) = std::to_string(rect.top);
  s.SetCrtFont(crt::kEditFontName, p_.memMain.Font());
  crt.at(crt::kLowerPanelHeight) = std::to_string(p_.window.LowerPanelHeight());
  crt.at(crt::kBoardPanelWidth) = std::to_string(p_.window.BoardPanelWidth());
  crt.at(crt::kReserved9) = "0";
  s.SetCrtFont(crt::kBoardFontName, p_.sgd00.Font());
  crt.at(crt::kSelectedTab) = std::to_string(p_.tabC00.Index());
  crt.at(crt::kEditBackground) = ColourToText(p_.memMain.Background());
  crt.at(crt::kBoardBackground) = ColourToText(p_.sgd00.Background());
  for (int slot = crt::kFirstReservedTail; slot <= crt::kLastReservedTail; ++slot) crt.at(slot) = "0";
  crt.at(crt::kEndMarker) = "\\EOD";
  s.Write(p_.store);
}

void MainForm::MnuDspSpeechClick() {
  const Settings& s = state_.settings;
  const auto chosen =
      p_.dialogs.ChooseSpeech(s.SpeechPercent(option::kSpeechSpeed), s.SpeechPercent(option::kSpeechVolume));
  if (!chosen) return;
  state_.settings.SetOption(option::kSpeechSpeed, std::to_string(chosen->first));
  state_.settings.SetOption(option::kSpeechVolume, std::to_string(chosen->second));
}

void MainForm::MnuHelpClick() { p_.shell.ShowHelp(state_.helpFileName, kHelpTopic); }

void MainForm::ActExeZoomExecute() { p_.shell.StartProgram(kMagnifierProgram); }

void MainForm::MemMainChange() {
  edits_.Changed();
  readAloud_.TextChanged();
  row_.Refresh();
  commands_.Update();
}

void MainForm::Message(const std::string& text) { modes_.Message(text); }

void MainForm::UnholdableTextEntered() { Message(cp932::FromUtf8("文書に書けない文字を「?」に置き換えました")); }

}  // namespace velkor
