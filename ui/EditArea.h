// The edit area over QPlainTextEdit: Qt's own undo off, input methods off,
// texts and positions in the program's code page 932 bytes.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "document/EditBuffer.h"

namespace velkor::ui {

class EditArea : public QPlainTextEdit, public IEditArea {
  Q_OBJECT
 public:
  explicit EditArea(QWidget* parent = nullptr);

  // Called once per change of the text (typing, pasting, replacing).
  void OnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
  // Key events: down (before the control acts on the key, auto-repeats
  // included), up (after it, auto-repeats excluded, as the platform the
  // program comes from reports them), and a typed character, which the
  // handler may discard by returning true.
  // The down handler returns true for a key the edit area must not act on.
  void OnKeyDown(std::function<bool(Key)> handler) { onKeyDown_ = std::move(handler); }
  void OnKeyUp(std::function<void(Key)> handler) { onKeyUp_ = std::move(handler); }
  void OnKeyPress(std::function<bool()> handler) { onKeyPress_ = std::move(handler); }
  void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }
  // Called when entered text held characters the code page has no code for
  // (they were shown as "?", as they will be saved).
  void OnUnholdable(std::function<void()> handler) { onUnholdable_ = std::move(handler); }

  static Key KeyOf(int qtKey);

  std::string Text() const override;
  TextRope Snapshot() const override { return buffer_.Bytes(); }
  void RestoreSnapshot(const TextRope& text) override;
  void SetText(const std::string& text) override;
  void Clear() override;
  bool Modified() const override { return modified_; }
  void SetModified(bool modified) override { modified_ = modified; }
  FontSpec Font() const override { return font_; }
  void SetFont(const FontSpec& font) override;
  Colour Background() const override { return background_; }
  void SetBackground(Colour colour) override;
  void SetWordWrap(bool on) override;
  void SetFocus() override { setFocus(Qt::OtherFocusReason); }
  int SelStart() const override;
  void SetSelStart(int pos) override;
  int SelLength() const override;
  void SetSelLength(int length) override;
  void SetBlockCaret(const std::string& character) override;
  std::string CharacterAtCaret() const override;
  void ReplaceSelection(const std::string& text) override;
  void PasteFromClipboard() override { paste(); }
  void ScrollToCaret() override { ensureCursorVisible(); }
  void SetLoading(bool loading) override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  QString Holdable(const QString& text, bool* lossy);
  void TextChanged();
  void ContentsChanged(int position, int removed, int added);
  // Screen places of document positions and back.
  ScreenPos ScreenOf(int position) const;
  int PositionOf(ScreenPos place) const;
  // Byte offsets of document positions and back.
  int ByteOffsetOf(int position) const;
  int PositionOfByte(int offset) const;

  std::function<void()> onChange_;
  std::function<bool(Key)> onKeyDown_;
  std::function<void(Key)> onKeyUp_;
  std::function<bool()> onKeyPress_;
  std::function<void()> onClick_;
  std::function<void()> onUnholdable_;
  FontSpec font_;
  Colour background_ = colours::clWindow;
  bool modified_ = false;
  // Set while the program sets the screen itself (ProgramEdit).
  bool programEdit_ = false;
  // The text in bytes, kept in step with every change of the document; the
  // journal's snapshots share its unchanged parts.
  EditBuffer buffer_;
  // Document position of a lone lead byte that the change being made joined
  // to the next byte (it is "?" in the bytes already), or -1.
  int joinedLead_ = -1;
};

}  // namespace velkor::ui
