// The main window: builds the controls, implements the window's side of the
// platform and hands every event to the program's logic (MainForm).
#pragma once

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QSplitter>
#include <map>
#include <memory>

#include "app/MainForm.h"
#include "app/Platform.h"
#include "ui/BoardGrid.h"
#include "ui/Dialogs.h"
#include "ui/EditArea.h"
#include "ui/StatusLine.h"
#include "ui/TabStrip.h"

namespace velkor::ui {

// The one-line staging box through which board text is inserted.
class InputBox : public QLineEdit, public IInputBox {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
  void SetFont(const FontSpec& font) override;
};

class MainWindow : public QMainWindow, public IMainWindow {
  Q_OBJECT
 public:
  MainWindow(ISettingsStore& store, IShell& shell, IFileSystem& fs);
  ~MainWindow() override;

  // Runs the logic's creation step; false when the program must end.
  bool Create() { return form_->FormCreate(); }

  // IMainWindow
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  WindowRect Geometry() const override;
  void SetGeometry(const WindowRect& rect) override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;
  int LowerPanelHeight() const override;
  void SetLowerPanelHeight(int height) override;
  int BoardPanelWidth() const override;
  void SetBoardPanelWidth(int width) override;
  void SetChecked(MenuItem item, bool checked) override;
  bool IsChecked(MenuItem item) const override;
  void SetEnabled(Action action, bool enabled) override;
  bool IsEnabled(Action action) const override;
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text) override;

  MainForm& Form() { return *form_; }
  EditArea* MemMain() { return memMain_; }
  BoardGrid* SGd00() { return sgd00_; }
  TabStrip* TabC00() { return tabC00_; }
  StatusLine* PnlMsg() { return pnlMsg_; }
  QAction* MenuAction(MenuItem item) const { return checkItems_.at(item); }
  QAction* ActFileSave() const { return actFileSave_; }
  QAction* MnuFileQuit() const { return mnuFileQuit_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  QAction* AddCheckItem(QMenu* menu, MenuItem item, const char* caption, void (MainWindow::*handler)());
  void ApplyLowerPanelHeight();

  // Menu handlers, named after the items.
  void MnuEditClickClick() { form_->Modes().MnuEditClickClick(); }
  void MnuEditM10Click() { form_->Modes().MnuEditM10Click(); }
  void MnuEditM20Click() { form_->Modes().MnuEditM20Click(); }
  void MnuEditM30Click() { form_->Modes().MnuEditM30Click(); }
  void MnuEditM40Click() { form_->Modes().MnuEditM40Click(); }
  void MnuEditM50Click() { form_->Modes().MnuEditM50Click(); }
  void MnuEditYaClick() { form_->Modes().MnuEditYaClick(); }
  void MnuDspHiraClick() { form_->Board().MnuDspHiraClick(); }
  void MnuWordWrapClick() { form_->Edit().MnuWordWrapClick(); }
  void MnuEditMouseClick() {}

  EditArea* memMain_ = nullptr;
  InputBox* edtInp_ = nullptr;
  QSplitter* splMain_ = nullptr;
  QWidget* pnlMain_ = nullptr;
  QWidget* pnlMozi00_ = nullptr;
  BoardGrid* sgd00_ = nullptr;
  TabStrip* tabC00_ = nullptr;
  StatusLine* pnlMsg_ = nullptr;
  std::map<MenuItem, QAction*> checkItems_;
  QAction* actFileSave_ = nullptr;
  QAction* mnuFileQuit_ = nullptr;
  int lowerPanelHeight_ = 330;
  bool shown_ = false;

  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<MainForm> form_;
};

}  // namespace velkor::ui
