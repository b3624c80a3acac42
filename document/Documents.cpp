#include "document/Documents.h"

#include <cerrno>

#include "core/Captions.h"
#include "core/Cp932.h"
#include "document/PrintLayout.h"
#include "document/RecentFiles.h"

namespace velkor {

namespace {

using cp932::Sj;

// The folder part of a native path, with its separator.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file-name part has an extension when it holds a dot.
bool HasExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.find('.') != std::string::npos;
}

// A document slot's file name: "文書" and two digits, ".txt".
bool IsSlotName(std::string_view name) {
  const std::string stem = SlotPath("", 0);  // "文書00.txt"
  const std::size_t digits = stem.size() - 6;
  if (name.size() != stem.size() || name.substr(0, digits) != std::string_view(stem).substr(0, digits)) return false;
  return SlotNumberOf(name.substr(digits, 2)).has_value() && name.substr(digits + 2) == ".txt";
}

constexpr char kOpenFilter[] = "テキストファイル(*.txt)|*.txt|すべてのファイル(*.*),|*.*";
constexpr char kSaveFilter[] = "テキストファイル(*.txt)|*.txt";

}  // namespace

Documents::Documents(ProgramState& state, Ports ports, EditView& edit, Journal& journal, TextEdits& edits,
                     const MessageChannel& messages, ITextFiles& files, Recovery& recovery)
    : state_(state),
      p_(ports),
      edit_(edit),
      journal_(journal),
      edits_(edits),
      messages_(messages),
      files_(files),
      recovery_(recovery) {
  // The text shown is no longer the opened file's: a save must ask for a
  // name instead of writing it over that file.
  journal_.OnUndoPastOpen([this] {
    state_.curFileName.clear();
    p_.window.SetCaption(UntitledCaption());
  });
}

bool Documents::AskUnsavedWork(const char* question, const std::string& next) {
  if (!p_.memMain.Modified()) return true;
  if (messages_.AsksQuestions()) return p_.window.AskYesNo(Sj(question));
  // Nobody can be asked: the text is kept in a slot before it is replaced,
  // and the user is told where.
  const Recovery::Kept kept = recovery_.KeepBeforeReplacing(next);
  if (!kept.message.empty()) messages_.Say(kept.message, kept.ok ? MessageIcon::None : MessageIcon::Error);
  return kept.ok;
}

void Documents::SetDialogFolders(const std::string& path) {
  openFolder_ = FolderOf(path);
  saveFolder_ = openFolder_;
}

void Documents::FocusEditArea() {
  p_.memMain.SetFocus();
  edit_.ShowBlockCaret();
}

void Documents::EnableSave(bool enabled) {
  state_.saveEnabled = enabled;
  if (saveStateChanged_) saveStateChanged_();
}

void Documents::ActFileNewExecute() {
  if (AskUnsavedWork("編集中です。新規作成しますか？", {})) {
    state_.curFileName.clear();
    recovery_.Discard();
    edits_.Clear();
    p_.window.SetCaption(UntitledCaption());
    EnableSave(false);
    journal_.Clear();  // a new document: the empty text is unmodified
  }
  FocusEditArea();
}

void Documents::ActFileOpenExecute() {
  if (openFolder_.empty()) openFolder_ = state_.dataDir;
  const auto path = p_.dialogs.ChooseOpenFile(openFolder_, Sj(kOpenFilter));
  if (!path) return;
  OpenDocument(*path);
  FocusEditArea();
}

void Documents::ActFileSaveExecute() {
  if (!state_.curFileName.empty()) {
    SaveDocument(state_.curFileName);
  } else {
    SaveDocumentAs();
  }
  FocusEditArea();
}

void Documents::ActFileAddExecute() {
  SaveDocumentAs();
  FocusEditArea();
}

void Documents::MnuFileUseS0Click(int item) {
  // An item that shows no path has nothing to open.
  if (item < 0 || static_cast<std::size_t>(item) >= state_.settings.fileList.size()) return;
  const std::string path = state_.settings.fileList[static_cast<std::size_t>(item)];
  OpenDocument(path);
  EnableSave(true);
}

FileRule Documents::RuleFor(const std::string& path) const {
  const std::string folder = FolderOf(path);
  const bool inDataFolder = folder == state_.dataDir || folder == state_.perUserDataDir;
  return inDataFolder && IsSlotName(std::string_view(path).substr(folder.size())) ? FileRule::OwnPlainFile
                                                                                   : FileRule::Any;
}

void Documents::OpenDocument(const std::string& path) {
  if (path.empty()) return;
  // A save of a file in this folder that the end of a program cut short is
  // put right before the file is read.
  for (const std::string& said : files_.RestoreInterruptedWrites(FolderOf(path))) messages_.Say(said);
  // The file is read before anything is asked or kept: a file that cannot be
  // read changes nothing at all. A slot is read only as the user's own plain
  // file.
  const FileRule rule = RuleFor(path);
  const bool exists = files_.Exists(path);
  FileResult loaded{true, {}, {}};
  if (exists) {
    p_.memMain.SetLoading(true);  // the busy pointer while a long file is read
    loaded = LoadTextFile(files_, path, rule);
  } else if (!files_.Missing(path)) {
    // A folder, a link that leads nowhere, or a name that cannot be looked up.
    loaded = LoadTextFile(files_, path, rule);
    if (loaded.ok) loaded = {false, {}, FileErrorMessage(EISDIR, path, FileOperation::Read)};
  }
  const bool asking = loaded.ok && p_.memMain.Modified() && messages_.AsksQuestions();
  // A message or a question wants the usual pointer.
  if (exists && (!loaded.ok || asking)) p_.memMain.SetLoading(false);
  if (!loaded.ok) {
    // The text shown is still the user's work, marked as it was.
    messages_.Say(loaded.error, MessageIcon::Error);
    return;
  }
  if (!AskUnsavedWork("編集中です。ファイルを開きますか？", path)) {
    if (exists && !asking) p_.memMain.SetLoading(false);
    return;
  }
  SetDialogFolders(path);
  if (exists) {
    if (asking) p_.memMain.SetLoading(true);
    edits_.SetText(loaded.bytes, TextEdits::Journaling::Record);
    p_.memMain.SetSelStart(0);
    p_.memMain.SetLoading(false);
  } else {
    edits_.Clear();
  }
  recovery_.Discard();  // the previous text was given up for this one
  journal_.MarkSaved(true);
  state_.curFileName = path;
  p_.window.SetCaption(DocumentCaption(path));
  AddRecentFile(path);
  EnableSave(true);
}

bool Documents::SaveDocument(const std::string& path) {
  if (state_.curFileName.empty()) return false;
  SetDialogFolders(path);
  recovery_.RemoveStaleTemporaryFiles(FolderOf(path));
  const std::string error = SaveTextFile(files_, path, p_.memMain.Text(), RuleFor(path));
  if (!error.empty()) {
    // The previous file is intact; the document stays modified, and caption
    // and recent list keep naming what is really saved.
    messages_.Say(error, MessageIcon::Error);
    return false;
  }
  p_.window.SetCaption(DocumentCaption(state_.curFileName));
  AddRecentFile(path);
  journal_.MarkSaved();
  recovery_.Discard();
  Message(Sj("保存しました"));
  return true;
}

void Documents::SaveDocumentAs() {
  if (saveFolder_.empty()) saveFolder_ = state_.dataDir;
  const auto chosen = p_.dialogs.ChooseSaveFile(saveFolder_, Sj(kSaveFilter), state_.curFileName);
  if (!chosen) return;
  std::string target = *chosen;
  if (!HasExtension(target)) {
    target += ".txt";
    Message(Sj("ファイル拡張子を変更しました"));
  }
  if (files_.Exists(target)) {
    if (messages_.AsksQuestions()) {
      if (!p_.window.AskYesNo(cp932::FromUtf8(*chosen) + Sj(" はすでに存在します。上書きしますか？"))) return;
    } else {
      p_.pnlMsg.SetMessage(Sj("上書きしました"));
    }
  }
  const std::string previous = state_.curFileName;
  state_.curFileName = target;
  saveFolder_ = FolderOf(target);
  if (!SaveDocument(state_.curFileName)) {
    // Nothing was saved under the new name: the document keeps its old one,
    // so that the caption and the next save agree.
    state_.curFileName = previous;
    return;
  }
  AddRecentFile(state_.curFileName);
}

void Documents::AddRecentFile(const std::string& path) {
  velkor::AddRecentFile(state_.settings.fileList, path);
  const RecentFileCaptionList captions = RecentFileCaptions(state_.settings.fileList);
  for (int i = 0; i < kRecentFileCount; ++i) {
    if (captions[static_cast<std::size_t>(i)])
      p_.window.SetRecentFileCaption(i, *captions[static_cast<std::size_t>(i)]);
  }
}

std::string Documents::SlotPathOf(int n) const { return SlotPath(state_.dataDir, n); }

std::string Documents::SlotPreviewOf(int n, const std::string& prefix) const {
  return SlotPreview(files_, SlotPathOf(n), prefix);
}

void Documents::ActFilePrintExecute() {
  const std::string text = p_.memMain.Text();
  if (text.empty()) {
    Message(Sj("印刷するデータがありません"));
  } else if (const auto choice = p_.printer.ShowPrintDialog()) {
    const PrintRange range = choice->selectionOnly ? PrintRange::Selection : PrintRange::All;
    for (int copy = 0; copy < choice->copies; ++copy) {
      const auto printed = TextToPrint(text, p_.memMain.SelStart(), p_.memMain.SelLength(), range);
      // After a failed job the other copies would fail alike: one report.
      if (!printed || !PrintText(*printed)) break;
    }
  }
  FocusEditArea();
}

bool Documents::PrintText(const std::string& text) {
  std::unique_ptr<IPrintJob> job = p_.printer.BeginJob(p_.memMain.Font());
  // No printer, or a job that cannot start, is an error too: never report a
  // print that did not happen as done.
  bool ok = job != nullptr;
  if (job) {
    const std::vector<PrintPage> pages = LayOutPrintText(text, *job);
    for (std::size_t page = 0; page < pages.size(); ++page) {
      if (page > 0) job->NewPage();
      for (const PrintRun& run : pages[page].runs) job->DrawText(run.x, run.y, run.text);
    }
    ok = job->End();
  }
  if (!ok) messages_.Say(Sj("印刷エラー"), MessageIcon::Error);
  return ok;
}

}  // namespace velkor
