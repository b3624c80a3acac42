#include "ui/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/GuideWindow.h"
#include "ui/QtText.h"
#include "ui/Shell.h"

namespace velkor::ui {

namespace {

// The window's design place and size, replaced by the settings when shown.
constexpr int kDesignLeft = 372;
constexpr int kDesignTop = 94;
constexpr int kDesignWidth = 625;
constexpr int kDesignHeight = 351;
constexpr int kSplitterHandle = 8;
constexpr int kLowerPanelMinimum = 20;

// The design fonts: the edit area's and the board's, "ＭＳ ゴシック" 20 and 22 points.
FontSpec DesignFont(int points) { return FontSpec{cp932::FromUtf8("ＭＳ ゴシック"), points, colours::clWindowText}; }

}  // namespace

void InputBox::SetFont(const FontSpec& font) { setFont(ToQFont(font)); }

void InputBox::SetText(const std::string& text) {
  text_ = text;
  selected_ = false;
  setText(FromCp932(text));
}

void InputBox::CutToClipboard() {
  if (!selected_) return;
  QApplication::clipboard()->setText(FromCp932(text_));
  text_.clear();
  selected_ = false;
  clear();
}

std::optional<Point> Pointer::Position() const {
  const QPoint p = QCursor::pos();
  return Point{p.x(), p.y()};
}

void Pointer::MoveTo(Point position) { QCursor::setPos(position.x, position.y); }

InputTimer::InputTimer(QObject* parent, int intervalMs, bool singleShot) : QObject(parent) {
  timer_.setInterval(intervalMs);
  timer_.setSingleShot(singleShot);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (onTick_) onTick_();
  });
}

MainWindow::MainWindow(ISettingsStore& store, IShell& shell, IFileSystem& fs, ITextFiles& files) {
  setWindowTitle(QString::fromLatin1(kApplicationTitle));
  BuildControls();
  move(kDesignLeft, kDesignTop);
  resize(kDesignWidth, kDesignHeight);
  dialogs_ = std::make_unique<Dialogs>(this);
  printer_ = std::make_unique<Printer>(this);
  // The conversion engine learns into the user's own data folder.
  converter_ = std::make_unique<AnthyConverter>(shell.PerUserDataFolder() + kAnthyFolder);
  speech_ = std::make_unique<OpenJTalkSpeech>();
  bell_ = std::make_unique<ChimeBell>(FromUtf8(ChimeFile(shell.ProgramFolder())));
  LoadLexicon(shell, files);
  form_ = std::make_unique<MainForm>(
      Platform{*this,       *memMain_, *edtInp_,      *sgd00_,  *tabC00_,    *pnlMsg_,    store,     shell,
               fs,          *dialogs_, *sgd01_,       pointer_, *tmrInput0_, files,       *printer_, *recoveryTimer_,
               *converter_, *speech_,  *predictions_, lexicon_, clock_,      *scanTimer_, *bell_,    *holdTimer_,
               *learnTimer_});
  form_->AddStartRemark(cp932::FromUtf8(lexiconRemark_));
  BuildActions();
  BuildMenus();
  BuildToolBar();
  BuildPopupMenus();
  BuildFindDialogs();
  ConnectEvents();
}

void MainWindow::LoadLexicon(const IShell& shell, ITextFiles& files) {
  // The phrase model beside the program or in the installed data beside its
  // folder (the build tree's only for a program run from it).
  const std::string model = PhraseModelFile(shell.ProgramFolder());
  if (model.empty() || !lexicon_.LoadModel(files, model)) {
    qWarning("velkorlt: no phrase model was found; the prediction row offers words, not phrases");
  }
  // The first lexicon that loads; a damaged one gives way to the next, and
  // the start says so.
  std::string damaged;
  for (const std::string& path : LexiconFiles(shell.ProgramFolder())) {
    if (!files.Exists(path)) continue;
    if (lexicon_.Load(files, path)) {
      lexiconPath_ = path;
      break;
    }
    if (damaged.empty()) damaged = path;
  }
  if (!damaged.empty() && !lexiconPath_.empty()) {
    lexiconRemark_ = "予測の辞書が壊れているため、代わりに " + lexiconPath_ + " を使います「" + damaged + "」";
  } else if (!damaged.empty()) {
    lexiconRemark_ = "予測の辞書が壊れているため、予測には学習した語と変換の候補だけを出します「" + damaged + "」";
  } else if (lexiconPath_.empty()) {
    lexiconRemark_ = "予測の辞書が見つからないため、予測には学習した語と変換の候補だけを出します";
  }
  if (!lexiconRemark_.empty()) qWarning("velkorlt: %s", lexiconRemark_.c_str());
}

bool MainWindow::ShowGuide(const std::string& programFolder) {
  const std::string guide = GuideFile(programFolder);
  if (guide.empty()) {
    form_->Message(cp932::FromUtf8("使い方ガイドが見つかりません"));
    return false;
  }
  // In dwell mode a button is pressed when the pointer rests on it for the
  // dwell time; under scanning the focus walks the buttons at the scan
  // interval.
  const Settings& s = form_->State().settings;
  const int dwellMs = DwellModeOn(s) ? s.DwellTenths().value_or(10) * 100 : 0;
  const int scanMs = s.Scan() ? s.ScanIntervalMs() : 0;
  auto* guideWindow = new GuideWindow(this, FromUtf8(guide), dwellMs, scanMs);
  // Closing it uncovers the board under a still pointer.
  connect(guideWindow, &QObject::destroyed, this, [this] { form_->ShownChanged(std::nullopt); });
  guideWindow->show();
  guideWindow->raise();
  guideWindow->activateWindow();
  return true;
}

void MainWindow::ConnectEvents() {
  // Pointer moves anywhere in the window reach the one dwell tracker (through
  // the event filter); presses on the surfaces confirm what lies under them.
  DwellTracker& pointer = form_->Pointer();
  predictions_->OnMouseDown([&pointer](int, int) { pointer.PointerPressed(); });
  predictions_->OnShownChanged([this](bool wasShown) {
    // The panel keeps its height without the row; the row comes on top.
    if (shown_) lowerPanelHeight_ = pnlMain_->height() - (wasShown ? predictions_->PanelShare() : 0);
    ApplyLowerPanelHeight();
  });
  sgd00_->OnMouseDown([&pointer](int, int) { pointer.PointerPressed(); });
  sgd00_->OnResize([this] { form_->GridResized(); });
  sgd01_->OnMouseDown([&pointer](int, int) { pointer.PointerPressed(); });
  ArrowKeys& keys = form_->Keys();
  sgd01_->OnKeyDown([&keys](Key key) { return keys.KeyDown(key); });
  sgd01_->OnKeyUp([&keys](Key key) { keys.KeyUp(key); });
  tmrInput0_->OnTick([&pointer] { pointer.Tick(); });
  scanTimer_->OnTick([this] { form_->ScanTick(); });
  holdTimer_->OnTick([this] { form_->HoldTick(); });
  learnTimer_->OnTick([this] { form_->LearnTick(); });
  qApp->installEventFilter(this);
  recoveryTimer_->OnTick([this] { form_->RecoveryTimerTick(); });

  memMain_->OnChange([this] { form_->MemMainChange(); });
  memMain_->OnKeyDown([&keys](Key key) { return keys.KeyDown(key); });
  memMain_->OnKeyUp([&keys](Key key) { keys.KeyUp(key); });
  memMain_->OnKeyPress([&keys] { return keys.TakesTyping(); });
  memMain_->OnClick([this] { form_->Edit().ShowBlockCaret(); });
  memMain_->OnUnholdable([this] { form_->UnholdableTextEntered(); });
  tabC00_->OnChanging([this] { form_->Board().TabC00Changing(); });
  tabC00_->OnChange([this] { form_->Board().TabC00Change(); });
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  // An open guide goes before the status line and the board it would report
  // to as it closes.
  for (GuideWindow* guide : findChildren<GuideWindow*>()) {
    guide->disconnect(this);
    delete guide;
  }
}

void MainWindow::BuildControls() {
  splMain_ = new QSplitter(Qt::Vertical, this);
  splMain_->setHandleWidth(kSplitterHandle);
  splMain_->setChildrenCollapsible(false);
  setCentralWidget(splMain_);

  memMain_ = new EditArea(splMain_);
  memMain_->SetFont(DesignFont(20));

  pnlMain_ = new QWidget(splMain_);
  pnlMain_->setMinimumHeight(kLowerPanelMinimum);
  auto* mainLayout = new QVBoxLayout(pnlMain_);
  mainLayout->setContentsMargins(0, 0, 0, 0);
  mainLayout->setSpacing(0);

  pnlMozi00_ = new QWidget(pnlMain_);
  auto* boardLayout = new QVBoxLayout(pnlMozi00_);
  boardLayout->setContentsMargins(0, 0, 0, 0);
  boardLayout->setSpacing(0);
  sgd00_ = new BoardGrid(pnlMozi00_);
  sgd00_->SetFont(DesignFont(22));
  tabC00_ = new TabStrip(pnlMozi00_);
  QFont tabFont(FromCp932(cp932::FromUtf8("ＭＳ ゴシック")));
  tabFont.setPixelSize(13);
  tabC00_->setFont(tabFont);
  for (const char* name : {"1", "2", "3", "4", "5", "6", "7"}) tabC00_->addTab(QString::fromLatin1(name));
  predictions_ = new PredictionStrip(pnlMozi00_, *sgd00_);
  boardLayout->addWidget(predictions_);
  boardLayout->addWidget(sgd00_, 1);
  boardLayout->addWidget(tabC00_);

  pnlMsg_ = new StatusLine(pnlMain_);
  mainLayout->addWidget(pnlMozi00_, 1);
  mainLayout->addWidget(pnlMsg_);

  splMain_->addWidget(memMain_);
  splMain_->addWidget(pnlMain_);
  splMain_->setStretchFactor(0, 1);
  splMain_->setStretchFactor(1, 0);

  sgd01_ = new VariantList(pnlMozi00_);
  sgd01_->SetOrigin(sgd00_);
  tmrInput0_ = new InputTimer(this, 500, false);
  scanTimer_ = new InputTimer(this, 1500, false);
  holdTimer_ = new InputTimer(this, kBellHoldMs, true);
  learnTimer_ = new InputTimer(this, kLearnTickMs, false);
  recoveryTimer_ = new InputTimer(this, Recovery::kDelayMs, true);

  // The staging box is never shown; text passes through it to the clipboard.
  edtInp_ = new InputBox(this);
  edtInp_->setGeometry(328, 80, 73, 35);
  edtInp_->hide();
}

void MainWindow::SetCaption(const std::string& caption) { setWindowTitle(FromUtf8(caption)); }

std::string MainWindow::Caption() const { return ToUtf8(windowTitle()); }

// The window's place and size are its own, without the title bar and
// borders: the corner stored is the corner applied, so a window manager
// that adds a frame after the window is placed does not move it at every
// start (the frame is not known before the window is first shown).
WindowRect MainWindow::Geometry() const { return {geometry().x(), geometry().y(), width(), height()}; }

void MainWindow::SetGeometry(const WindowRect& rect) { setGeometry(FitToScreens(rect)); }

QRect MainWindow::FitToScreens(const WindowRect& rect) {
  // The screen the window's centre lies on, else the primary one.
  const QList<QScreen*> screens = QGuiApplication::screens();
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QPoint centre(rect.left + rect.width / 2, rect.top + rect.height / 2);
  for (const QScreen* candidate : screens) {
    if (candidate->geometry().contains(centre)) screen = candidate;
  }
  if (screen == nullptr) return QRect(rect.left, rect.top, std::max(1, rect.width), std::max(1, rect.height));
  // A stored size beyond the screen (2147483647, say) would cost gigabytes
  // of window buffer; a place off every screen would hide the window.
  const QRect area = screen->availableGeometry();
  const int width = std::clamp(rect.width, 1, area.width());
  const int height = std::clamp(rect.height, 1, area.height());
  const int left = std::clamp(rect.left, area.left(), area.left() + area.width() - width);
  const int top = std::clamp(rect.top, area.top(), area.top() + area.height() - height);
  return QRect(left, top, width, height);
}

int MainWindow::ScreenWidth() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 0;
}

int MainWindow::ScreenHeight() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 0;
}

// The prediction row is added to the lower panel's height, not taken from
// the board: the stored height is the panel's without it. What is added is
// the row's height at the board's default row height; a row grown with the
// board's rows takes the rest from the board, so the panel, and the height
// stored from it, stay the same however the cells are fitted.
int MainWindow::PredictionRowHeight() const { return predictions_->isHidden() ? 0 : predictions_->PanelShare(); }

int MainWindow::LowerPanelHeight() const {
  return shown_ ? pnlMain_->height() - PredictionRowHeight() : lowerPanelHeight_;
}

void MainWindow::SetLowerPanelHeight(int height) {
  lowerPanelHeight_ = std::max(kLowerPanelMinimum, height);
  ApplyLowerPanelHeight();
}

void MainWindow::Maximise() {
  if (isVisible()) {
    showMaximized();
  } else {
    setWindowState(windowState() | Qt::WindowMaximized);
  }
}

void MainWindow::SetBoardShare(int percent) {
  boardShare_ = percent;
  ApplyLowerPanelHeight();
}

void MainWindow::ApplyLowerPanelHeight() {
  const int total = splMain_->height() - splMain_->handleWidth();
  // A share of the window's height follows every resize; otherwise the
  // stored height stays.
  const int wanted = boardShare_ > 0 ? total * boardShare_ / 100 : lowerPanelHeight_ + PredictionRowHeight();
  const int lower = std::min(wanted, std::max(kLowerPanelMinimum, total));
  splMain_->setSizes({std::max(0, total - lower), lower});
}

// The board panel fills the lower panel, so its width follows the window; the
// stored width is taken back from it at close.
int MainWindow::BoardPanelWidth() const { return pnlMozi00_->width(); }

void MainWindow::SetBoardPanelWidth(int /*width*/) {}

void MainWindow::SetCommandState(Command command, bool enabled, bool checked) {
  QAction* action = CommandAction(command);
  if (!action) return;
  action->setEnabled(enabled);
  if (action->isCheckable()) action->setChecked(checked);
}

void MainWindow::ShowMessage(const std::string& text, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Error         ? QMessageBox::Critical
                  : icon == MessageIcon::Information ? QMessageBox::Information
                                                     : QMessageBox::NoIcon,
                  QString::fromLatin1(kApplicationTitle), FromCp932(text), QMessageBox::Ok, this);
  box.exec();
}

bool MainWindow::AskYesNo(const std::string& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), FromCp932(text), QMessageBox::Yes | QMessageBox::No,
                  this);
  return box.exec() == QMessageBox::Yes;
}

void MainWindow::SetRecentFileCaption(int item, const std::string& caption) {
  if (item >= 0 && item < static_cast<int>(recentItems_.size())) {
    // "&" in a path is shown as it is, not taken for an accelerator.
    recentItems_[static_cast<std::size_t>(item)]->setText(FromUtf8(caption).replace('&', QStringLiteral("&&")));
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  form_->FormShow();
  shown_ = true;
  ApplyLowerPanelHeight();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!shown_ || boardShare_ > 0) ApplyLowerPanelHeight();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (!form_ || !shown_) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return false;
  if (widget == this && type == QEvent::WindowActivate) {
    // A window or dialog over this one went, or this one was raised: what
    // lies under a still pointer may be another cell.
    form_->ShownChanged(std::nullopt);
    return false;
  }
  if (widget->window() != this) return false;
  if (type == QEvent::MouseMove || type == QEvent::Enter || type == QEvent::Leave) {
    form_->PointerMoved();
    return false;
  }
  // Key and button presses anywhere in this window (its menus and toolbar
  // aside) are offered to the scan switch first; their releases end a hold.
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const SwitchInput input = key->key() == Qt::Key_Space                                   ? SwitchInput::Space
                              : key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ? SwitchInput::Enter
                                                                                            : SwitchInput::OtherKey;
    if (type == QEvent::KeyPress) return form_->SwitchPressed(input, key->isAutoRepeat());
    // A held key's repeats come as releases and presses: only the last counts.
    if (!key->isAutoRepeat()) form_->SwitchReleased(input);
    return false;
  }
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->button() != Qt::LeftButton) return false;
  if (type == QEvent::MouseButtonRelease) {
    form_->SwitchReleased(SwitchInput::Mouse);
    return false;
  }
  if (!centralWidget()->isAncestorOf(widget)) return false;
  return form_->SwitchPressed(SwitchInput::Mouse, false);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  QMainWindow::keyReleaseEvent(event);
  form_->Edit().ShowBlockCaret();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (form_->FormClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace velkor::ui
