#include "document/TextEdits.h"

namespace velkor {

void TextEdits::SetText(const std::string& bytes, Journaling journaling) {
  // The change this raises passes the journal unrecorded.
  if (journaling == Journaling::Skip) journal_.Disarm();
  p_.memMain.SetText(bytes);
  // The edit area clears its flag for a whole new text, after the change it
  // raised: whether the text is modified is the journal's to say.
  journal_.ShowModified();
}

void TextEdits::Clear() {
  p_.memMain.Clear();
  journal_.ShowModified();
}

void TextEdits::Changed() {
  state_.saveEnabled = true;
  journal_.Record();
  recovery_.TextChanged();
}

}  // namespace velkor
