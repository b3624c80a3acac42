// The edit area over QPlainTextEdit: Qt's own undo off, input methods off,
// texts and positions in the program's code page 932 bytes.
#pragma once

#include <QPlainTextEdit>
#include <functional>

#include "app/Platform.h"

namespace velkor::ui {

class EditArea : public QPlainTextEdit, public IEditArea {
  Q_OBJECT
 public:
  explicit EditArea(QWidget* parent = nullptr);

  // Called once per change of the text (typing, pasting, replacing).
  void OnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  std::string Text() const override;
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

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  void TextChanged();

  std::function<void()> onChange_;
  FontSpec font_;
  Colour background_ = colours::clWindow;
  bool modified_ = false;
  bool programChange_ = false;
};

}  // namespace velkor::ui
