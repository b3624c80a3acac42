#include "document/Journal.h"

namespace velkor {

void Journal::Begin() {
  entries_.clear();
  index_ = -1;
  armed_ = true;
  openedAt_ = -1;
  // A new document: its text is modified once it is not empty.
  saved_ = TextRope();
  ShowModified();
}

void Journal::MarkSaved(bool opened) {
  saved_ = edit_.Snapshot();
  if (opened) openedAt_ = index_;
  ShowModified();
}

void Journal::Clear() { Begin(); }

void Journal::End() {
  entries_.clear();
  entries_.shrink_to_fit();
  index_ = -1;
}

void Journal::Record() {
  ShowModified();
  if (!armed_) {
    // The change that Undo, Redo or an edit-font change caused: not recorded.
    armed_ = true;
    return;
  }
  Entry entry{edit_.Snapshot(), edit_.SelStart(), edit_.SelLength()};
  ++index_;
  if (index_ < Count()) {
    // Entries above the overwritten one stay in place.
    entries_[index_] = std::move(entry);
  } else {
    index_ = Count();
    entries_.push_back(std::move(entry));
  }
  if (index_ > kCapacity - 1) {
    --index_;
    entries_.pop_front();
    if (openedAt_ >= 0) --openedAt_;
  }
}

void Journal::Undo() {
  armed_ = false;
  --index_;
  if (index_ < 0) {
    index_ = -1;
  } else {
    Restore(index_);
  }
}

void Journal::Redo() {
  armed_ = false;
  if (index_ < Count() - 1) {
    ++index_;
    Restore(index_);
  } else {
    index_ = Count() - 1;
  }
}

void Journal::Restore(int i) {
  // Copy first: replacing the text re-enters Record through the change
  // notification, which must not see a half-restored entry.
  const Entry entry = entries_.at(i);
  edit_.RestoreSnapshot(entry.text);
  edit_.SetSelStart(entry.selStart);
  edit_.SetSelLength(entry.selLength);
  // Putting the text back clears the edit area's flag, and an entry of the
  // same text raises no change at all.
  ShowModified();
  if (i < openedAt_) {
    openedAt_ = -1;
    if (onUndoPastOpen_) onUndoPastOpen_();
  }
}

}  // namespace velkor
