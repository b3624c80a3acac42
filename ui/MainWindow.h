// The main window: builds the controls, implements the window's side of the
// platform and hands every event to the program's logic (MainForm).
#pragma once

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QToolBar>
#include <QLineEdit>
#include <QMainWindow>
#include <QSplitter>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "form/MainForm.h"
#include "core/Commands.h"
#include "core/Platform.h"
#include "ui/AnthyConverter.h"
#include "ui/BoardGrid.h"
#include "ui/ChimeBell.h"
#include "ui/Dialogs.h"
#include "ui/FindDialogs.h"
#include "ui/Icons.h"
#include "ui/OpenJTalkSpeech.h"
#include "ui/PredictionStrip.h"
#include "input/Lexicon.h"
#include "ui/Printer.h"
#include "ui/EditArea.h"
#include "ui/StatusLine.h"
#include "ui/TabStrip.h"
#include "ui/VariantList.h"

namespace velkor::ui {

// The one-line staging box through which board text is inserted.
// It keeps its text as given (line breaks included, which a one-line edit
// would drop) and cuts it to the clipboard whole.
class InputBox : public QLineEdit, public IInputBox {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
  void SetFont(const FontSpec& font) override;
  void SetText(const std::string& text) override;
  std::string Text() const override { return text_; }
  void SelectAll() override { selected_ = true; }
  void CutToClipboard() override;

 private:
  std::string text_;
  bool selected_ = false;
};

// The pointer on the screen.
class Pointer : public IPointer {
 public:
  std::optional<Point> Position() const override;
  void MoveTo(Point position) override;
};

// The 500 ms input timer.
class InputTimer : public QObject, public ITimer {
  Q_OBJECT
 public:
  InputTimer(QObject* parent, int intervalMs, bool singleShot);
  void OnTick(std::function<void()> handler) { onTick_ = std::move(handler); }
  void Start() override { timer_.start(); }
  void Stop() override { timer_.stop(); }
  bool Running() const override { return timer_.isActive(); }
  void SetIntervalMs(int ms) override { timer_.setInterval(ms); }
  int IntervalMs() const override { return timer_.interval(); }

 private:
  QTimer timer_;
  std::function<void()> onTick_;
};

// The monotonic clock.
class MonotonicClock : public IClock {
 public:
  MonotonicClock() { elapsed_.start(); }
  long long NowMs() const override { return elapsed_.elapsed(); }

 private:
  QElapsedTimer elapsed_;
};

class MainWindow : public QMainWindow, public IMainWindow {
  Q_OBJECT
 public:
  MainWindow(ISettingsStore& store, IShell& shell, IFileSystem& fs, ITextFiles& files);
  ~MainWindow() override;

  // Runs the logic's creation step; false when the program must end.
  bool Create() { return form_->FormCreate(); }
  // The session ends (logout, shutdown): unsaved text and settings are kept
  // without a question; the window may then go.
  void EndSession() { form_->EndSession(); }

  // IMainWindow
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  WindowRect Geometry() const override;
  void SetGeometry(const WindowRect& rect) override;
  // A stored place and size brought wholly onto one of the screens.
  static QRect FitToScreens(const WindowRect& rect);
  int ScreenWidth() const override;
  int ScreenHeight() const override;
  int LowerPanelHeight() const override;
  void Maximise() override;
  void SetBoardShare(int percent) override;
  void SetLowerPanelHeight(int height) override;
  int BoardPanelWidth() const override;
  void SetBoardPanelWidth(int width) override;
  void SetCommandState(Command command, bool enabled, bool checked) override;
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& text) override;
  void RequestClose() override { close(); }
  void ShowSearchDialog(bool replace) override { ShowSearchDialog(replace ? repDlg_ : findDlg_); }
  void SetRecentFileCaption(int item, const std::string& caption) override;

  MainForm& Form() { return *form_; }
  // The guide in a window of its own; false (and a message) when it is not
  // installed. Looked for beside `programFolder`.
  bool ShowGuide(const std::string& programFolder);
  // The prediction lexicon loaded ("" for none).
  const std::string& LexiconPath() const { return lexiconPath_; }
  EditArea* MemMain() { return memMain_; }
  BoardGrid* SGd00() { return sgd00_; }
  TabStrip* TabC00() { return tabC00_; }
  StatusLine* PnlMsg() { return pnlMsg_; }
  VariantList* SGd01() { return sgd01_; }
  PredictionStrip* Predictions() { return predictions_; }
  InputTimer* TmrInput0() { return tmrInput0_; }
  InputTimer* ScanTimer() { return scanTimer_; }
  InputBox* EdtInp() { return edtInp_; }
  QAction* RecentFileItem(int item) const { return recentItems_.at(static_cast<std::size_t>(item)); }
  QAction* ActFileSave() const { return CommandAction(Command::Save); }
  QAction* MnuFileQuit() const { return CommandAction(Command::Quit); }
  // The actions shared by menu items and toolbar buttons, by name.
  QAction* ActionNamed(const QString& name) const { return actions_.value(name); }
  // The menu item and toolbar button of a command of the command table.
  QAction* CommandAction(Command command) const { return ActionNamed(QString::fromLatin1(EntryOf(command).action)); }
  QToolBar* TBarMain() const { return tbarMain_; }
  QMenu* PMnuSGd() const { return pmnuSGd_; }
  QMenu* PMnuTab() const { return pmnuTab_; }
  FindDialog* FindDlg() const { return findDlg_; }
  FindDialog* RepDlg() const { return repDlg_; }
  Printer& PrinterDevice() { return *printer_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ConnectEvents();
  void BuildActions();
  void BuildMenus();
  void BuildToolBar();
  void BuildPopupMenus();
  void BuildFindDialogs();
  // The menu item and toolbar button of a command.
  QAction* AddCommandAction(const CommandEntry& entry);
  void AddRecentFiles(QMenu* recent);
  void ShowSearchDialog(FindDialog* dialog);
  void ApplyLowerPanelHeight();
  int PredictionRowHeight() const;
  void LoadLexicon(const IShell& shell, ITextFiles& files);

  EditArea* memMain_ = nullptr;
  InputBox* edtInp_ = nullptr;
  QSplitter* splMain_ = nullptr;
  int boardShare_ = 0;  // percent of the window's height for the board area; 0: the stored height
  QWidget* pnlMain_ = nullptr;
  QWidget* pnlMozi00_ = nullptr;
  BoardGrid* sgd00_ = nullptr;
  TabStrip* tabC00_ = nullptr;
  StatusLine* pnlMsg_ = nullptr;
  VariantList* sgd01_ = nullptr;
  PredictionStrip* predictions_ = nullptr;
  Lexicon lexicon_;
  InputTimer* tmrInput0_ = nullptr;
  InputTimer* scanTimer_ = nullptr;
  InputTimer* holdTimer_ = nullptr;  // a scan switch held down rings the bell
  InputTimer* learnTimer_ = nullptr;  // steps learning from the documents
  MonotonicClock clock_;
  std::string lexiconPath_;
  std::string lexiconRemark_;  // why the lexicon in use is not the first one, or none is (UTF-8)
  InputTimer* recoveryTimer_ = nullptr;
  Pointer pointer_;
  std::vector<QAction*> recentItems_;
  QHash<QString, QAction*> actions_;
  QToolBar* tbarMain_ = nullptr;
  QMenu* pmnuSGd_ = nullptr;
  QMenu* pmnuTab_ = nullptr;
  FindDialog* findDlg_ = nullptr;
  FindDialog* repDlg_ = nullptr;
  int lowerPanelHeight_ = 330;
  bool shown_ = false;

  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<Printer> printer_;
  std::unique_ptr<AnthyConverter> converter_;
  std::unique_ptr<OpenJTalkSpeech> speech_;
  std::unique_ptr<ChimeBell> bell_;
  std::unique_ptr<MainForm> form_;
};

}  // namespace velkor::ui
