// The edit area's undo and redo journal: after every change of the text it
// records the whole text with the caret and the selection, at most 101 entries;
// undo and redo put an earlier or later entry back.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "core/Platform.h"

namespace velkor {

class Journal {
 public:
  static constexpr int kCapacity = 101;

  struct Entry {
    TextRope text;  // shares its unchanged parts with the other entries
    int selStart = 0;
    int selLength = 0;
  };

  explicit Journal(IEditArea& edit) : edit_(edit) {}

  // A new journal for a window that opens, holding nothing, for a new
  // document (whose saved text is the empty one).
  void Begin();
  // Forgets every entry: a new document replaced the text.
  void Clear();
  // Records the edit area's text, caret and selection after a change.
  void Record();
  // Puts the entry before (after) the current one back, when there is one.
  void Undo();
  void Redo();
  // The window closes.
  void End();

  int Index() const { return index_; }
  int Count() const { return static_cast<int>(entries_.size()); }
  const Entry& At(int i) const { return entries_.at(i); }
  bool Armed() const { return armed_; }

  // The edit font change refills the text without recording it.
  void Disarm() { armed_ = false; }

  // The text now in the edit area is what the document's file holds: it was
  // just saved, or (`opened`) just opened, which starts a new document within
  // the journal.
  void MarkSaved(bool opened = false);
  // The one rule of "modified": the edit area's text differs from the text
  // last opened or saved (an empty text for a new document).
  bool Modified() const { return !(edit_.Snapshot() == saved_); }
  // Sets the edit area's modified flag by that rule. The journal does so after
  // every change it is told of, every undo and redo and every save or open;
  // TextEdits after a whole new text or an emptied one, whose flag the edit
  // area clears by itself.
  void ShowModified() { edit_.SetModified(Modified()); }
  // Called when an undo puts back a text from before the last opened
  // document: what is shown then no longer belongs to that document's file.
  void OnUndoPastOpen(std::function<void()> handler) { onUndoPastOpen_ = std::move(handler); }

 private:
  void Restore(int i);

  IEditArea& edit_;
  std::deque<Entry> entries_;
  int index_ = -1;
  bool armed_ = true;
  TextRope saved_;
  int openedAt_ = -1;  // the entry of the text last opened; -1 for none
  std::function<void()> onUndoPastOpen_;
};

}  // namespace velkor
