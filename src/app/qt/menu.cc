#include "app/qt/menu.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleFactory>

namespace tabulon {

using namespace menu_item;

namespace {

const char* const kEditItems[] = {kEditUndo, kEditCut, kEditCopy, kEditPaste, kEditClear};

// The window in front: a modal dialog when one is up, else the active window.
QWidget* frontWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

// The app's style, with Alt alone going to the menu bar, as on other desktops.
class MenuBarKeysStyle : public QProxyStyle {
  public:
    MenuBarKeysStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

QLineEdit* focusedField() {
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

}  // namespace

Menu::Menu(QWidget* parent) : QMenuBar(parent) {
    setObjectName(QStringLiteral("Menu"));
    QMenu* file = addNamedMenu("UntitledMenu5", "&File");
    addItem(file, kFileOpen, "&Open", QKeySequence(QStringLiteral("Ctrl+O")));
    addItem(file, kFileConvertToSpreadsheet, "Convert to &Spreadsheet...",
            QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    addItem(file, kFileConvertFromMailbox, "Convert from &Mailbox...",
            QKeySequence(QStringLiteral("Ctrl+Shift+M")));
    addItem(file, kFileNewTemplateFromMail, "&New Template from Mail...",
            QKeySequence(QStringLiteral("Ctrl+Shift+N")));
    addItem(file, kFileUpdateTables, "&Update Tables", QKeySequence());
    addItem(file, kFileClose, "&Close", QKeySequence(QStringLiteral("Ctrl+W")));
    addSeparator(file, "UntitledMenu6");
    addItem(file, kFileQuit, "&Quit", QKeySequence(QStringLiteral("Ctrl+Q")), QAction::QuitRole);

    QMenu* edit = addNamedMenu("UntitledMenu2", "&Edit");
    addItem(edit, kEditUndo, "&Undo", QKeySequence(QStringLiteral("Ctrl+Z")));
    addSeparator(edit, "UntitledMenu4");
    addItem(edit, kEditCut, "Cu&t", QKeySequence(QStringLiteral("Ctrl+X")));
    addItem(edit, kEditCopy, "&Copy", QKeySequence(QStringLiteral("Ctrl+C")));
    addItem(edit, kEditPaste, "&Paste", QKeySequence(QStringLiteral("Ctrl+V")));
    addItem(edit, kEditClear, "Cle&ar", QKeySequence());
    addSeparator(edit, "UntitledMenu3");
    addItem(edit, kEditPreferences, "P&references", QKeySequence(QStringLiteral("Ctrl+;")),
            QAction::PreferencesRole);

    QMenu* help = addNamedMenu("UntitledMenu0", "&Help");
    QAction* helpItem =
        addItem(help, kHelpTabulonHelp, "Tabulon &Help", QKeySequence(QStringLiteral("Ctrl+?")));
    helpItem->setShortcuts({QKeySequence(QStringLiteral("Ctrl+?")), QKeySequence(Qt::Key_F1)});
    addItem(help, kAppleAboutTabulon, "&About Tabulon...", QKeySequence(), QAction::AboutRole);

    // From the keyboard: Alt alone or F10 goes to the menu bar (Alt+letter opens
    // a menu by its underlined letter anyway).
    auto* keysStyle = new MenuBarKeysStyle;
    keysStyle->setParent(this);  // setStyle() leaves it to its owner
    setStyle(keysStyle);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setContext(Qt::ApplicationShortcut);
    connect(f10, &QShortcut::activated, this, [this] {
        QWidget* front = frontWindow();
        if (front == nullptr || front == window()) setActiveAction(actions().value(0));
    });

    connect(qApp, &QApplication::focusChanged, this, &Menu::refresh);
    refresh();
}

QMenu* Menu::addNamedMenu(const char* name, const char* title) {
    QMenu* menu = addMenu(QLatin1String(title));
    menu->setObjectName(QLatin1String(name));
    connect(menu, &QMenu::aboutToShow, this, &Menu::refresh);
    return menu;
}

QAction* Menu::addItem(QMenu* menu, const char* name, const char* text,
                       const QKeySequence& shortcut, QAction::MenuRole role) {
    QAction* action = menu->addAction(QLatin1String(text));
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    // Items answer the front window, whichever it is, as a menu bar shared by all
    // windows does.
    action->setShortcutContext(Qt::ApplicationShortcut);
    action->setMenuRole(role);
    QString itemName = QLatin1String(name);
    connect(action, &QAction::triggered, this, [this, itemName] { trigger(itemName); });
    items_.insert(itemName, action);
    return action;
}

void Menu::addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    items_.insert(QLatin1String(name), separator);
}

void Menu::enable(const char* itemName, bool enabled) {
    if (QAction* action = item(QLatin1String(itemName))) action->setEnabled(enabled);
}

void Menu::refresh() {
    for (QAction* action : std::as_const(items_)) {
        if (!action->isSeparator()) action->setEnabled(false);
    }
    enable(kFileQuit);
    enableEditItems();
    if (auto* client = dynamic_cast<MenuClient*>(frontWindow()))
        client->Event_EnableMenuItems(*this);
}

void Menu::enableEditItems() {
    QLineEdit* field = focusedField();
    if (field == nullptr) return;
    bool selection = field->hasSelectedText();
    bool writable = !field->isReadOnly();
    enable(kEditUndo, writable && field->isUndoAvailable());
    enable(kEditCut, writable && selection);
    enable(kEditCopy, selection);
    enable(kEditPaste, writable && !QApplication::clipboard()->text().isEmpty());
    enable(kEditClear, writable && selection);
}

void Menu::trigger(const QString& name) {
    if (name == QLatin1String(kFileQuit)) {
        emit quitRequested();
        return;
    }
    for (const char* editItem : kEditItems) {
        if (name == QLatin1String(editItem)) return editFocusedField(name);
    }
    if (auto* client = dynamic_cast<MenuClient*>(frontWindow())) client->handleMenuItem(name);
}

void Menu::editFocusedField(const QString& name) {
    QLineEdit* field = focusedField();
    if (field == nullptr) return;
    if (name == QLatin1String(kEditUndo)) field->undo();
    if (name == QLatin1String(kEditCut)) field->cut();
    if (name == QLatin1String(kEditCopy)) field->copy();
    if (name == QLatin1String(kEditPaste)) field->paste();
    if (name == QLatin1String(kEditClear)) field->del();
}

}  // namespace tabulon
