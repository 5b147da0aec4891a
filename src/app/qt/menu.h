// The menu bar: File, Edit and Help with their items, each QAction named after its
// item. Items act on the front window: a window that answers menu items is a
// MenuClient, which enables the items it handles and carries them out. Before a
// menu shows, and whenever the front window or the focus changes, every item is
// disabled except Quit, the Edit items follow the focused text field, and then
// the front window enables its own.
#pragma once

#include <QHash>
#include <QMenuBar>

#include "platform/qt/menu_client.h"

namespace tabulon {

class Menu : public QMenuBar, public MenuItems {
    Q_OBJECT
  public:
    explicit Menu(QWidget* parent = nullptr);

    // The item named `name` (menu_item::kFileOpen...).
    QAction* item(const QString& name) const { return items_.value(name); }
    void enable(const char* itemName, bool enabled = true) override;

    // Recomputes which items are enabled for the current front window.
    void refresh();

  signals:
    // The Quit item was chosen.
    void quitRequested();

  private:
    QMenu* addNamedMenu(const char* name, const char* title);
    QAction* addItem(QMenu* menu, const char* name, const char* text, const QKeySequence& shortcut,
                     QAction::MenuRole role = QAction::NoRole);
    void addSeparator(QMenu* menu, const char* name);
    void trigger(const QString& name);
    void editFocusedField(const QString& name);
    void enableEditItems();

    QHash<QString, QAction*> items_;
};

}  // namespace tabulon
