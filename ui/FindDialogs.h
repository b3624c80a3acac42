// Modeless find and replace dialogs, working like the desktop's standard
// ones: find what, match case, find next; replace with, replace, replace all.
// There is no whole-word option and no direction: the search runs forward.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>

namespace velkor::ui {

class FindDialog : public QDialog {
  Q_OBJECT
 public:
  // `replace` adds the replacement text and the replace buttons.
  FindDialog(QWidget* parent, bool replace);

  // Texts in code page 932.
  std::string SearchText() const;
  // Both texts can be written in code page 932 (no character turns into "?").
  bool TextsHoldable() const;
  std::string ReplacementText() const;
  bool MatchCase() const { return matchCase_->isChecked(); }

  void OnFindNext(std::function<void()> handler) { onFindNext_ = std::move(handler); }
  void OnReplace(std::function<void(bool all)> handler) { onReplace_ = std::move(handler); }

  QLineEdit* SearchEdit() const { return search_; }
  QLineEdit* ReplacementEdit() const { return replacement_; }
  QPushButton* FindNextButton() const { return findNext_; }
  QPushButton* ReplaceButton() const { return replace_; }
  QPushButton* ReplaceAllButton() const { return replaceAll_; }
  QCheckBox* MatchCaseBox() const { return matchCase_; }

 private:
  QLineEdit* search_;
  QLineEdit* replacement_ = nullptr;
  QCheckBox* matchCase_;
  QPushButton* findNext_;
  QPushButton* replace_ = nullptr;
  QPushButton* replaceAll_ = nullptr;
  std::function<void()> onFindNext_;
  std::function<void(bool)> onReplace_;
};

}  // namespace velkor::ui
