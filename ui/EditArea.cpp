#include "ui/EditArea.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "document/EditText.h"
#include "ui/QtText.h"

namespace velkor::ui {

EditArea::EditArea(QWidget* parent) : QPlainTextEdit(parent) {
  // The program keeps its own journal; Qt's undo would bypass it.
  setUndoRedoEnabled(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  connect(this, &QPlainTextEdit::textChanged, this, &EditArea::TextChanged);
  connect(document(), &QTextDocument::contentsChange, this,
          [this](int position, int removed, int added) { ContentsChanged(position, removed, added); });
}

namespace {

// A line's text as the program's position mapping reads it.
std::u16string_view LineView(const QString& line) {
  return {reinterpret_cast<const char16_t*>(line.utf16()), static_cast<std::size_t>(line.size())};
}

// Bytes of a line's text in code page 932 (a surrogate pair is one "?").
int LineBytes(const QString& line) {
  const std::u16string_view view = LineView(line);
  return ByteOffsetOfDisplayIndex(view, static_cast<int>(view.size()));
}

}  // namespace

void EditArea::ContentsChanged(int position, int removed, int added) {
  textValid_ = false;
  const int block = document()->findBlock(position).blockNumber();
  // Lines before the changed one keep their byte counts.
  validBlocks_ = std::min(validBlocks_, std::max(1, block + 1));
  if (replacingAll_) return;  // the whole text is set at once by the caller

  // Keep the byte text in step: the bytes before the change are unchanged,
  // the removed ones are counted off the old text, the added ones read from
  // the document (the implicit end of the document is never part of it).
  const std::size_t start = static_cast<std::size_t>(ByteOffsetOf(position));
  const std::size_t maxRemoved = std::min(mirror_.size() - std::min(start, mirror_.size()),
                                          2 * static_cast<std::size_t>(std::max(0, removed)) + 2);
  const std::size_t removedBytes =
      BytesOfDisplayUnits(mirror_.Substr(start, maxRemoved), static_cast<std::size_t>(std::max(0, removed)));
  QTextCursor span(document());
  const int end = std::min(position + std::max(0, added), document()->characterCount() - 1);
  span.setPosition(position);
  span.setPosition(std::max(position, end), QTextCursor::KeepAnchor);
  // A lone lead byte the change joined to the next byte became "?" in the
  // bytes; the screen follows once the change is complete.
  if (SpliceEditText(mirror_, start, removedBytes, EditTextFromDisplay(span.selectedText().toStdU16String())) >= 0)
    joinedLead_ = position - 1;
}

int EditArea::BytesBeforeBlock(int blockNumber) const {
  if (blockNumber < validBlocks_) return bytesBefore_[static_cast<std::size_t>(blockNumber)];
  bytesBefore_.resize(static_cast<std::size_t>(validBlocks_));
  QTextBlock block = document()->findBlockByNumber(validBlocks_ - 1);
  int bytes = bytesBefore_.back();
  for (int n = validBlocks_ - 1; n < blockNumber && block.isValid(); ++n, block = block.next()) {
    bytes += LineBytes(block.text()) + 2;  // the line and its CR LF
    bytesBefore_.push_back(bytes);
  }
  validBlocks_ = static_cast<int>(bytesBefore_.size());
  return bytesBefore_.back();
}

int EditArea::ByteOffsetOf(int position) const {
  const QTextBlock block = document()->findBlock(std::clamp(position, 0, document()->characterCount() - 1));
  const int inBlock = std::max(0, position - block.position());
  const QString line = block.text();
  return BytesBeforeBlock(block.blockNumber()) + ByteOffsetOfDisplayIndex(LineView(line), inBlock);
}

int EditArea::PositionOfByte(int offset) const {
  offset = std::max(0, offset);
  // The line holding the offset: the last whose start is not beyond it.
  int low;
  if (offset < bytesBefore_[static_cast<std::size_t>(validBlocks_ - 1)]) {
    const auto begin = bytesBefore_.begin();
    low = static_cast<int>(std::upper_bound(begin, begin + validBlocks_, offset) - begin) - 1;
  } else {
    const int blocks = document()->blockCount();
    low = validBlocks_ - 1;
    while (low + 1 < blocks && BytesBeforeBlock(low + 1) <= offset) ++low;
  }
  // Within the line, an offset inside a character (or inside the CR LF)
  // stands before it.
  const QTextBlock block = document()->findBlockByNumber(low);
  const QString line = block.text();
  return block.position() + DisplayIndexOfByteOffset(LineView(line), offset - BytesBeforeBlock(low));
}

std::string EditArea::CharacterAtCaret() const {
  const int position = textCursor().selectionStart();
  const QTextBlock block = document()->findBlock(position);
  const int inBlock = position - block.position();
  const QString line = block.text();
  if (inBlock >= line.size()) return block.next().isValid() ? "\r\n" : "";
  const qsizetype units = line.at(inBlock).isHighSurrogate() && inBlock + 1 < line.size() ? 2 : 1;
  return ToCp932(line.mid(inBlock, units));
}

void EditArea::focusInEvent(QFocusEvent* event) {
  // Input methods stay off whenever the edit area has the focus (a read-only
  // change would switch them back on).
  setAttribute(Qt::WA_InputMethodEnabled, false);
  QPlainTextEdit::focusInEvent(event);
}

Key EditArea::KeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Delete: return Key::Delete;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return Key::Navigation;
    default: return Key::Other;
  }
}

void EditArea::keyPressEvent(QKeyEvent* event) {
  const Key key = KeyOf(event->key());
  if (onKeyDown_ && onKeyDown_(key)) {
    event->accept();
    return;
  }
  // Keys that type a character (Return, Tab and Backspace included) pass
  // through the typed-character handler; Delete and the caret keys do not.
  const bool types = !event->text().isEmpty() && key == Key::Other;
  if (types && onKeyPress_ && onKeyPress_()) {
    event->accept();
    return;
  }
  if (types) {
    bool lossy = false;
    const QString holdable = Holdable(event->text(), &lossy);
    // A printable character that shows otherwise once held (a raw byte that
    // is a character of its own) goes in as it will show; Return, Tab and
    // Backspace stay the edit area's own.
    const QString typed = event->text();
    const bool printable =
        std::none_of(typed.begin(), typed.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (lossy || (printable && holdable != typed)) {
      textCursor().insertText(holdable);
      event->accept();
      if (lossy && onUnholdable_) onUnholdable_();
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

void EditArea::keyReleaseEvent(QKeyEvent* event) {
  QPlainTextEdit::keyReleaseEvent(event);
  if (event->isAutoRepeat()) return;
  if (onKeyUp_) onKeyUp_(KeyOf(event->key()));
}

void EditArea::mouseReleaseEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseReleaseEvent(event);
  if (onClick_) onClick_();
}

void EditArea::TextChanged() {
  if (programChange_) return;
  const int joined = std::exchange(joinedLead_, -1);
  if (joined >= 0) {
    // The lone lead byte's box shows the "?" the bytes now hold.
    QTextCursor cursor(document());
    cursor.setPosition(joined);
    cursor.setPosition(joined + 1, QTextCursor::KeepAnchor);
    programChange_ = true;
    replacingAll_ = true;
    cursor.insertText(QStringLiteral("?"));
    replacingAll_ = false;
    programChange_ = false;
  }
  modified_ = true;
  if (onChange_) onChange_();
  if (joined >= 0 && onUnholdable_) onUnholdable_();
}

std::string EditArea::Text() const {
  if (!textValid_) {
    text_ = mirror_.Flatten();
    textValid_ = true;
  }
  return text_;
}

void EditArea::RestoreSnapshot(const TextRope& target) {
  const std::size_t prefix = TextRope::CommonPrefix(mirror_, target);
  if (prefix == mirror_.size() && prefix == target.size()) {
    modified_ = false;  // the same text: no change, no notification
    return;
  }
  const std::size_t suffix = TextRope::CommonSuffix(mirror_, target, prefix);
  // Replace only what differs, widened to whole characters on the screen.
  const int startPos = PositionOfByte(static_cast<int>(prefix));
  const std::size_t startByte = static_cast<std::size_t>(ByteOffsetOf(startPos));
  const int oldEnd = static_cast<int>(mirror_.size() - suffix);
  int endPos = PositionOfByte(oldEnd);
  if (ByteOffsetOf(endPos) < oldEnd) endPos = std::min(endPos + 1, document()->characterCount() - 1);
  if (endPos < document()->characterCount() - 1 && document()->characterAt(endPos).isLowSurrogate()) ++endPos;
  const std::size_t keptAfter = mirror_.size() - static_cast<std::size_t>(ByteOffsetOf(endPos));
  const std::string middle = target.Substr(startByte, target.size() - keptAfter - startByte);

  QTextCursor cursor(document());
  cursor.setPosition(startPos);
  cursor.setPosition(endPos, QTextCursor::KeepAnchor);
  programChange_ = true;
  replacingAll_ = true;
  cursor.insertText(QString::fromStdU16String(DisplayFromEditText(middle)));
  replacingAll_ = false;
  programChange_ = false;
  mirror_ = target;
  textValid_ = false;
  modified_ = false;
  if (onChange_) onChange_();
}

void EditArea::SetText(const std::string& text) {
  // The bytes as the edit area holds them: every line break CR LF.
  const std::string bytes = EditTextLineBreaks(text);
  const std::u16string display = DisplayFromEditText(bytes);
  if (!(mirror_ == bytes)) {
    // setPlainText notifies even for an identical text, and may notify more
    // than once: the program raises exactly one notification itself.
    programChange_ = true;
    replacingAll_ = true;
    setPlainText(QString::fromStdU16String(display));
    replacingAll_ = false;
    programChange_ = false;
    mirror_ = TextRope(bytes);
    textValid_ = false;
    modified_ = false;
    if (onChange_) onChange_();
  }
  modified_ = false;
}

void EditArea::Clear() {
  programChange_ = true;
  replacingAll_ = true;
  clear();
  replacingAll_ = false;
  programChange_ = false;
  mirror_ = TextRope();
  textValid_ = false;
  modified_ = false;
}

void EditArea::SetFont(const FontSpec& font) {
  font_ = font;
  setFont(ToQFont(font));
  QPalette pal = palette();
  pal.setColor(QPalette::Text, ToQColor(font.colour));
  setPalette(pal);
}

void EditArea::SetBackground(Colour colour) {
  background_ = colour;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(colour));
  setPalette(pal);
}

void EditArea::SetWordWrap(bool on) {
  setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
}

int EditArea::SelStart() const { return ByteOffsetOf(textCursor().selectionStart()); }

int EditArea::SelLength() const {
  const QTextCursor cursor = textCursor();
  return ByteOffsetOf(cursor.selectionEnd()) - ByteOffsetOf(cursor.selectionStart());
}

void EditArea::SetSelStart(int pos) {
  QTextCursor cursor = textCursor();
  cursor.setPosition(PositionOfByte(pos));
  setTextCursor(cursor);
}

void EditArea::SetSelLength(int length) {
  QTextCursor cursor = textCursor();
  const int start = cursor.selectionStart();
  const int startBytes = ByteOffsetOf(start);
  cursor.setPosition(start);
  cursor.setPosition(PositionOfByte(startBytes + std::max(0, length)), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

void EditArea::SetBlockCaret(const std::string& character) {
  const QFontMetrics metrics(QPlainTextEdit::font());
  setCursorWidth(std::max(1, metrics.horizontalAdvance(FromCp932(character))));
}

}  // namespace velkor::ui

namespace velkor::ui {

void EditArea::ReplaceSelection(const std::string& text) {
  // One edit of the document: one change notification, as typing gives.
  bool lossy = false;
  textCursor().insertText(QString::fromStdU16String(HoldableDisplay(DisplayFromEditText(text), &lossy)));
  if (lossy && onUnholdable_) onUnholdable_();
}

void EditArea::insertFromMimeData(const QMimeData* source) {
  // Pasted text from anywhere: every line break (CR LF, a lone CR or LF)
  // becomes one line break of the edit area, in one change.
  if (!source || !source->hasText()) return;
  QString text = source->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  bool lossy = false;
  textCursor().insertText(Holdable(text, &lossy));
  ensureCursorVisible();
  // Told once the text is in: a message box must not open in mid-change.
  if (lossy && onUnholdable_) onUnholdable_();
}

QString EditArea::Holdable(const QString& text, bool* lossy) {
  // What the file will hold, shown as it will be saved: a character the code
  // page has no code for becomes "?" now, on the screen too.
  return QString::fromStdU16String(HoldableDisplay(text.toStdU16String(), lossy));
}

void EditArea::SetLoading(bool loading) {
  if (loading) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setUpdatesEnabled(false);
  } else {
    setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace velkor::ui
