// The menu bar: File, Edit and Help with their items, each QAction named after its
// item. Items act on the front window: a window that answers menu items is a
// MenuClient, which enables the items it handles and carries them out. Before a
// menu shows, and whenever the front window or the focus changes, every item is
// disabled except Quit, the Edit items follow the focused text field, and then
// the front window enables its own.
#pragma once

#include <QHash>
#include <QMenuBar>

namespace tabulon {

class Menu;

class MenuClient {
  public:
    virtual ~MenuClient() = default;
    virtual void Event_EnableMenuItems(Menu& menu) = 0;
    // Carries out the item; false when this window does not handle it.
    virtual bool handleMenuItem(const QString& itemName) = 0;
};

class Menu : public QMenuBar {
    Q_OBJECT
  public:
    explicit Menu(QWidget* parent = nullptr);

    // The item named `name` ("FileOpen", "EditPreferences"...).
    QAction* item(const QString& name) const { return items_.value(name); }
    void enable(const QString& name, bool enabled = true);

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
