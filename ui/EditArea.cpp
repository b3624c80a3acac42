#include "ui/EditArea.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

#include "document/EditText.h"
#include "ui/QtText.h"

namespace velkor::ui {

EditArea::EditArea(QWidget* parent) : QPlainTextEdit(parent) {
  // The program keeps its own journal; Qt's undo would bypass it.
  setUndoRedoEnabled(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  connect(this, &QPlainTextEdit::textChanged, this, &EditArea::TextChanged);
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
    default: return Key::Other;
  }
}

void EditArea::keyPressEvent(QKeyEvent* event) {
  const Key key = KeyOf(event->key());
  if (onKeyDown_) onKeyDown_(key);
  // Keys that type a character (Return, Tab and Backspace included) pass
  // through the typed-character handler; Delete and the caret keys do not.
  const bool types = !event->text().isEmpty() && key == Key::Other;
  if (types && onKeyPress_ && onKeyPress_()) {
    event->accept();
    return;
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
  modified_ = true;
  if (onChange_) onChange_();
}

std::string EditArea::Text() const { return EditTextFromDisplay(toPlainText().toStdU16String()); }

void EditArea::SetText(const std::string& text) {
  const QString display = QString::fromStdU16String(DisplayFromEditText(text));
  if (display != toPlainText()) {
    // setPlainText notifies even for an identical text, and may notify more
    // than once: the program raises exactly one notification itself.
    programChange_ = true;
    setPlainText(display);
    programChange_ = false;
    modified_ = false;
    if (onChange_) onChange_();
  }
  modified_ = false;
}

void EditArea::Clear() {
  programChange_ = true;
  clear();
  programChange_ = false;
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

int EditArea::SelStart() const {
  return ByteOffsetOfDisplayIndex(toPlainText().toStdU16String(), textCursor().selectionStart());
}

int EditArea::SelLength() const {
  const std::u16string display = toPlainText().toStdU16String();
  const QTextCursor cursor = textCursor();
  return ByteOffsetOfDisplayIndex(display, cursor.selectionEnd()) -
         ByteOffsetOfDisplayIndex(display, cursor.selectionStart());
}

void EditArea::SetSelStart(int pos) {
  QTextCursor cursor = textCursor();
  cursor.setPosition(DisplayIndexOfByteOffset(toPlainText().toStdU16String(), pos));
  setTextCursor(cursor);
}

void EditArea::SetSelLength(int length) {
  const std::u16string display = toPlainText().toStdU16String();
  QTextCursor cursor = textCursor();
  const int start = cursor.selectionStart();
  const int startBytes = ByteOffsetOfDisplayIndex(display, start);
  cursor.setPosition(start);
  cursor.setPosition(DisplayIndexOfByteOffset(display, startBytes + std::max(0, length)), QTextCursor::KeepAnchor);
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
  textCursor().insertText(QString::fromStdU16String(DisplayFromEditText(text)));
}

void EditArea::insertFromMimeData(const QMimeData* source) {
  // Pasted text from anywhere: every line break (CR LF, a lone CR or LF)
  // becomes one line break of the edit area, in one change.
  if (!source || !source->hasText()) return;
  QString text = source->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  textCursor().insertText(text);
  ensureCursorVisible();
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
