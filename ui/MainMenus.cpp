// The main window's actions, main menu, toolbar, pop-up menus and the find
// and replace dialogs. Each action is defined once and shared by its menu item
// and toolbar button; no item has a keyboard shortcut.
#include <QMenuBar>
#include <QToolButton>

#include "core/Commands.h"
#include "document/Search.h"
#include "ui/MainWindow.h"

namespace velkor::ui {

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
    case CommandImage::EditFont: return ToolImage::EditFont;
    case CommandImage::BoardFont: return ToolImage::BoardFont;
    case CommandImage::Zoom: return ToolImage::Zoom;
    case CommandImage::None: break;
  }
  return ToolImage::New;  // never asked for: a command without a picture has no icon
}

}  // namespace

QAction* MainWindow::AddCommandAction(const CommandEntry& entry) {
  // A command without a picture has none at all: the menu bar would draw a
  // picture instead of the caption of an item on it (ヘルプ).
  auto* action = new QAction(QString::fromUtf8(entry.menu), this);
  if (entry.image != CommandImage::None) action->setIcon(ToolIcon(ImageOf(entry.image)));
  action->setObjectName(QString::fromLatin1(entry.action));
  action->setToolTip(QString::fromUtf8(entry.hint));
  action->setIconVisibleInMenu(false);  // the main menu shows no images
  action->setCheckable(entry.checkItem);
  const Command id = entry.id;
  connect(action, &QAction::triggered, this, [this, action, id] {
    // Qt flips a check mark before the command runs; the command's state
    // decides it, and the runner shows it.
    if (action->isCheckable()) action->setChecked(form_->Commands().Checked(id));
    form_->Commands().Run(id, CommandSource::Menu);
  });
  actions_.insert(action->objectName(), action);
  return action;
}

void MainWindow::BuildActions() {
  // Every menu item and toolbar button is a command of the command table.
  for (const CommandEntry& entry : AllCommands()) {
    if (*entry.action != '\0') AddCommandAction(entry);
  }
}

void MainWindow::BuildMenus() {
  // The menus as the table lays them out; a submenu opens within the menu
  // open when it begins.
  std::vector<QMenu*> open;
  for (const MenuEntry& entry : MainMenu()) {
    QMenu* menu = open.empty() ? nullptr : open.back();
    switch (entry.line) {
      case MenuLine::Menu: {
        const QString caption = QString::fromUtf8(entry.command ? EntryOf(*entry.command).menu : entry.caption);
        QMenu* opened = menu ? menu->addMenu(caption) : menuBar()->addMenu(caption);
        if (entry.command) {
          // The submenu's own item shows its command's check mark.
          QAction* own = CommandAction(*entry.command);
          opened->menuAction()->setCheckable(own->isCheckable());
          connect(own, &QAction::changed, opened,
                  [opened, own] { opened->menuAction()->setChecked(own->isChecked()); });
        }
        open.push_back(opened);
        break;
      }
      case MenuLine::Item:
        if (menu) {
          menu->addAction(CommandAction(*entry.command));
        } else {
          menuBar()->addAction(CommandAction(*entry.command));
        }
        break;
      case MenuLine::Separator: menu->addSeparator(); break;
      case MenuLine::RecentFiles: AddRecentFiles(menu->addMenu(QString::fromUtf8(entry.caption))); break;
      case MenuLine::End: open.pop_back(); break;
    }
  }
}

void MainWindow::AddRecentFiles(QMenu* recent) {
  for (int i = 0; i < 10; ++i) {
    if (i == 5) recent->addSeparator();
    QAction* item = recent->addAction(QString::number(i));
    connect(item, &QAction::triggered, this, [this, i] {
      form_->Docs().MnuFileUseS0Click(i);
      form_->Commands().Update();
    });
    recentItems_.push_back(item);
  }
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
  for (const std::optional<Command>& command : Toolbar()) {
    if (!command) {
      tbarMain_->addSeparator();
      continue;
    }
    QAction* action = CommandAction(*command);
    tbarMain_->addAction(action);
    if (auto* button = qobject_cast<QToolButton*>(tbarMain_->widgetForAction(action))) button->setAutoRaise(true);
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
