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

// Sets the screen from the program: no change notification, and the bytes
// are set by the caller, not read back from the screen.
class ProgramEdit {
 public:
  explicit ProgramEdit(bool& flag) : flag_(flag) { flag_ = true; }
  ~ProgramEdit() { flag_ = false; }
  ProgramEdit(const ProgramEdit&) = delete;
  ProgramEdit& operator=(const ProgramEdit&) = delete;

 private:
  bool& flag_;
};

}  // namespace

ScreenPos EditArea::ScreenOf(int position) const {
  const QTextBlock block = document()->findBlock(std::clamp(position, 0, document()->characterCount() - 1));
  return {block.blockNumber(), std::max(0, position - block.position())};
}

int EditArea::PositionOf(ScreenPos place) const {
  const QTextBlock block = document()->findBlockByNumber(place.line);
  if (!block.isValid()) return document()->characterCount() - 1;
  return block.position() + std::clamp(place.unit, 0, block.length() - 1);
}

void EditArea::ContentsChanged(int position, int removed, int added) {
  if (programEdit_) return;  // the caller sets the bytes
  // The added text, read from the document (the implicit end of the
  // document is never part of it).
  QTextCursor span(document());
  const int end = std::min(position + std::max(0, added), document()->characterCount() - 1);
  span.setPosition(position);
  span.setPosition(std::max(position, end), QTextCursor::KeepAnchor);
  // A lone lead byte the change joined to the next byte became "?" in the
  // bytes; the screen follows once the change is complete.
  if (const auto joined = buffer_.ApplyScreenChange(ScreenOf(position), removed, span.selectedText().toStdU16String()))
    joinedLead_ = PositionOf(*joined);
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
  if (programEdit_) return;
  const int joined = std::exchange(joinedLead_, -1);
  if (joined >= 0) {
    // The lone lead byte's box shows the "?" the bytes now hold.
    QTextCursor cursor(document());
    cursor.setPosition(joined);
    cursor.setPosition(joined + 1, QTextCursor::KeepAnchor);
    const ProgramEdit edit(programEdit_);
    cursor.insertText(QStringLiteral("?"));
  }
  modified_ = true;
  if (onChange_) onChange_();
  if (joined >= 0 && onUnholdable_) onUnholdable_();
}

std::string EditArea::Text() const { return buffer_.Text(); }

void EditArea::RestoreSnapshot(const TextRope& target) {
  const auto redraw = buffer_.RedrawFor(target);
  if (!redraw) {
    modified_ = false;  // the same text: no change, no notification
    return;
  }
  // Only what differs is replaced on the screen.
  QTextCursor cursor(document());
  cursor.setPosition(PositionOf(redraw->from));
  cursor.setPosition(PositionOf(redraw->to), QTextCursor::KeepAnchor);
  {
    const ProgramEdit edit(programEdit_);
    cursor.insertText(QString::fromStdU16String(redraw->text));
  }
  buffer_.Redrawn(*redraw, target);
  modified_ = false;
  if (onChange_) onChange_();
}

void EditArea::SetText(const std::string& text) {
  // The bytes as the edit area holds them: every line break CR LF.
  const std::string bytes = EditTextLineBreaks(text);
  if (!(buffer_.Bytes() == bytes)) {
    // setPlainText notifies even for an identical text, and may notify more
    // than once: the program raises exactly one notification itself.
    {
      const ProgramEdit edit(programEdit_);
      setPlainText(QString::fromStdU16String(DisplayFromEditText(bytes)));
    }
    buffer_.Set(TextRope(bytes));
    modified_ = false;
    if (onChange_) onChange_();
  }
  modified_ = false;
}

void EditArea::Clear() {
  {
    const ProgramEdit edit(programEdit_);
    clear();
  }
  buffer_.Set(TextRope());
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

int EditArea::ByteOffsetOf(int position) const { return static_cast<int>(buffer_.ByteOffsetOf(ScreenOf(position))); }

int EditArea::PositionOfByte(int offset) const {
  return PositionOf(buffer_.PositionOf(static_cast<std::size_t>(std::max(0, offset))));
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
