// The main window's actions, main menu, toolbar, pop-up menus and the find
// and replace dialogs. Each action is defined once and shared by its menu item
// and toolbar button; no item has a keyboard shortcut.
#include <QMenuBar>
#include <QToolButton>

#include "core/Commands.h"
#include "document/Search.h"
#include "ui/MainWindow.h"

namespace velkor::ui {

QAction* MainWindow::AddAction(const char* name, const char* caption, const char* hint, ToolImage image,
                               std::function<void()> handler) {
  auto* action = new QAction(ToolIcon(image), QString::fromUtf8(caption), this);
  action->setObjectName(QString::fromLatin1(name));
  action->setToolTip(QString::fromUtf8(hint));
  action->setIconVisibleInMenu(false);  // the main menu shows no images
  connect(action, &QAction::triggered, this, std::move(handler));
  actions_.insert(action->objectName(), action);
  return action;
}

QAction* MainWindow::AddCheckItem(QMenu* menu, MenuItem item, const char* caption, void (MainWindow::*handler)()) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setCheckable(true);
  // Qt flips the check mark before the handler runs; the handlers decide it.
  connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
    action->setChecked(!checked);
    (this->*handler)();
  });
  checkItems_[item] = action;
  return action;
}

namespace {

ToolImage ImageOf(CommandImage image) {
  switch (image) {
    case CommandImage::New: return ToolImage::New;
    case CommandImage::Open: return ToolImage::Open;
    case CommandImage::Save: return ToolImage::Save;
    case CommandImage::SaveAs: return ToolImage::SaveAs;
    case CommandImage::Print: return ToolImage::Print;
    case CommandImage::Find: return ToolImage::Find;
    case CommandImage::Replace: return ToolImage::Replace;
    case CommandImage::Undo: return ToolImage::Undo;
    case CommandImage::Redo: return ToolImage::Redo;
    case CommandImage::None: break;
  }
  return ToolImage::New;  // never shown: a command without a picture has no button
}

}  // namespace

void MainWindow::BuildActions() {
  // The commands' menu items and toolbar buttons, from the command table.
  for (const CommandEntry& entry : AllCommands()) {
    if (*entry.action == '\0') continue;
    const Command id = entry.id;
    QAction* action = AddAction(entry.action, entry.menu, entry.hint, ImageOf(entry.image),
                                [this, id] { form_->Commands().Run(id, CommandSource::Menu); });
    action->setEnabled(form_->Commands().Enabled(id));
  }
  actFileSave_ = ActionNamed(QString::fromLatin1(EntryOf(Command::Save).action));
  mnuFileQuit_ = ActionNamed(QString::fromLatin1(EntryOf(Command::Quit).action));
  // Where a menu item gives its own caption (the fonts, the magnifier), the
  // shared action carries that caption: the toolbar shows images only.
  AddAction("ActDspFont", "編集画面フォント設定(&F)", "編集フォント変更", ToolImage::EditFont,
            [this] { form_->Edit().ActDspFontExecute(); });
  AddAction("ActExeZoom", "「Velkor虫めがね」起動(&B)", "虫めがね", ToolImage::Zoom,
            [this] { form_->ActExeZoomExecute(); });
  AddAction("ActDspMojiFont", "文字盤フォント設定(&M)", "文字盤フォント変更", ToolImage::BoardFont,
            [this] { form_->Board().ActDspMojiFontExecute(); });
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->addAction(CommandAction(Command::New));
  file->addSeparator();
  file->addAction(CommandAction(Command::Open));
  QMenu* recent = file->addMenu(QStringLiteral("最近使ったファイル(&U)"));
  for (int i = 0; i < 10; ++i) {
    if (i == 5) recent->addSeparator();
    QAction* item = recent->addAction(QString::number(i));
    connect(item, &QAction::triggered, this, [this, i] { form_->Docs().MnuFileUseS0Click(i); });
    recentItems_.push_back(item);
  }
  file->addSeparator();
  file->addAction(CommandAction(Command::Save));
  file->addAction(CommandAction(Command::SaveAs));
  file->addSeparator();
  file->addAction(CommandAction(Command::Print));
  file->addSeparator();
  file->addAction(CommandAction(Command::Quit));

  QMenu* find = menuBar()->addMenu(QStringLiteral("検索(&S)"));
  find->addAction(CommandAction(Command::Find));
  find->addAction(CommandAction(Command::Replace));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  edit->addAction(CommandAction(Command::Undo));
  edit->addAction(CommandAction(Command::Redo));
  edit->addSeparator();
  AddCheckItem(edit, MenuItem::EditClick, "クリックで入力確定", &MainWindow::MnuEditClickClick);
  QMenu* dwell = edit->addMenu(QStringLiteral("マウス停止で入力確定"));
  dwell->menuAction()->setCheckable(true);
  checkItems_[MenuItem::EditMouse] = dwell->menuAction();
  AddCheckItem(dwell, MenuItem::EditM10, "１．０秒", &MainWindow::MnuEditM10Click);
  AddCheckItem(dwell, MenuItem::EditM20, "２．０秒", &MainWindow::MnuEditM20Click);
  AddCheckItem(dwell, MenuItem::EditM30, "３．０秒", &MainWindow::MnuEditM30Click);
  AddCheckItem(dwell, MenuItem::EditM40, "４．０秒", &MainWindow::MnuEditM40Click);
  AddCheckItem(dwell, MenuItem::EditM50, "５．０秒", &MainWindow::MnuEditM50Click);
  AddCheckItem(edit, MenuItem::EditYa, "矢印で移動　KEYで入力確定", &MainWindow::MnuEditYaClick);
  edit->addSeparator();
  QMenu* entry = edit->addMenu(QStringLiteral("予測と学習(&P)"));
  QAction* row = entry->addAction(QStringLiteral("予測の行を表示(&R)"));
  row->setCheckable(true);
  connect(entry, &QMenu::aboutToShow, this,
          [this, row] { row->setChecked(form_->State().settings.PredictionCells() > 0); });
  connect(row, &QAction::triggered, this, [this](bool on) { form_->ShowPredictionRow(on); });
  QAction* quick = entry->addAction(QStringLiteral("かなを一回で入力（゛~で濁点・小文字・カタカナ）(&K)"));
  quick->setCheckable(true);
  connect(entry, &QMenu::aboutToShow, this, [this, quick] { quick->setChecked(form_->State().settings.QuickKana()); });
  connect(quick, &QAction::triggered, this, [this](bool on) { form_->SetQuickKana(on); });
  entry->addSeparator();
  connect(entry->addAction(QStringLiteral("学習した語と文をすべて忘れる(&F)...")), &QAction::triggered, this,
          [this] { form_->ForgetLearning(); });

  QMenu* show = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  show->addAction(ActionNamed("ActDspFont"));
  connect(show->addAction(QStringLiteral("編集画面の色設定(&B)")), &QAction::triggered, this,
          [this] { form_->Board().MnuDspEclrClick(BoardDisplay::ColourTarget::EditArea); });
  show->addAction(ActionNamed("ActDspMojiFont"));
  connect(show->addAction(QStringLiteral("文字盤の色設定(&C)")), &QAction::triggered, this,
          [this] { form_->Board().MnuDspEclrClick(BoardDisplay::ColourTarget::Board); });
  show->addSeparator();
  AddCheckItem(show, MenuItem::DspHira, "ひらがなを右から表示(&H)", &MainWindow::MnuDspHiraClick);
  show->addSeparator();
  AddCheckItem(show, MenuItem::WordWrap, "右端で折り返す(&W)", &MainWindow::MnuWordWrapClick);
  show->addSeparator();
  connect(show->addAction(QStringLiteral("読み上げの設定(&S)")), &QAction::triggered, this,
          [this] { form_->MnuDspSpeechClick(); });
  show->addSeparator();
  show->addAction(ActionNamed("ActExeZoom"));

  QAction* help = menuBar()->addAction(QStringLiteral("ヘルプ(&H)"));
  connect(help, &QAction::triggered, this, [this] { form_->MnuHelpClick(); });
}

void MainWindow::BuildToolBar() {
  tbarMain_ = new QToolBar(this);
  tbarMain_->setObjectName(QStringLiteral("TBarMain"));
  tbarMain_->setMovable(false);
  tbarMain_->setFloatable(false);
  tbarMain_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  tbarMain_->setIconSize(QSize(16, 16));
  tbarMain_->setFixedHeight(25);
  tbarMain_->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, tbarMain_);
  const char* const layout[] = {"ActFileNew", "ActFileOpen", "ActFileSave", "ActFileAdd", "ActFilePrint",   nullptr,
                                "ActSerFind", "ActSerRep",   nullptr,       "ActDspFont", "ActDspMojiFont", nullptr,
                                "ActExeZoom", nullptr,       "ActEditUndo", "ActEditRedo"};
  for (const char* name : layout) {
    if (!name) {
      tbarMain_->addSeparator();
      continue;
    }
    tbarMain_->addAction(ActionNamed(QString::fromLatin1(name)));
    if (auto* button = qobject_cast<QToolButton*>(tbarMain_->widgetForAction(ActionNamed(QString::fromLatin1(name))))) {
      button->setAutoRaise(true);
    }
  }
}

void MainWindow::BuildPopupMenus() {
  pmnuSGd_ = new QMenu(this);
  connect(pmnuSGd_->addAction(QStringLiteral("文字盤編集(&M)")), &QAction::triggered, this,
          [this] { form_->Editing().PmmMoziClick(); });
  sgd00_->OnCellMenu([this](QPoint at) { pmnuSGd_->popup(at); });

  pmnuTab_ = new QMenu(this);
  connect(pmnuTab_->addAction(QStringLiteral("タブ名変更(&T)")), &QAction::triggered, this,
          [this] { form_->Editing().PmtTabClick(); });
  tabC00_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tabC00_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmnuTab_->popup(tabC00_->mapToGlobal(at)); });
}

void MainWindow::BuildFindDialogs() {
  auto message = [this](const std::string& text) { form_->Message(text); };
  IEditArea& area = *memMain_;
  findDlg_ = new FindDialog(this, false);
  findDlg_->OnFindNext([this, &area, message] {
    if (!CheckSearchTexts(findDlg_->TextsHoldable(), message)) return;
    if (SearchInEditArea(area, form_->Edits(), false, findDlg_->MatchCase(), findDlg_->SearchText(), "", message)) {
      form_->Edit().ShowBlockCaret();
    }
  });
  repDlg_ = new FindDialog(this, true);
  repDlg_->OnFindNext([this, &area, message] {
    if (!CheckSearchTexts(repDlg_->TextsHoldable(), message)) return;
    if (SearchInEditArea(area, form_->Edits(), false, repDlg_->MatchCase(), repDlg_->SearchText(), "", message)) {
      form_->Edit().ShowBlockCaret();
    }
  });
  repDlg_->OnReplace([this, &area, message](bool all) {
    if (!CheckSearchTexts(repDlg_->TextsHoldable(), message)) return;
    if (all) {
      ReplaceAllInEditArea(area, form_->Edits(), repDlg_->MatchCase(), repDlg_->SearchText(),
                           repDlg_->ReplacementText());
    } else {
      SearchInEditArea(area, form_->Edits(), true, repDlg_->MatchCase(), repDlg_->SearchText(),
                       repDlg_->ReplacementText(), message);
    }
    form_->Edit().ShowBlockCaret();
  });
}

void MainWindow::ShowSearchDialog(FindDialog* dialog) {
  if (!BeginSearchDialog(*memMain_, [this](const std::string& text) { form_->Message(text); })) return;
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

}  // namespace velkor::ui
