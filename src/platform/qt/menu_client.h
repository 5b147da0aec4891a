// A window that answers menu items while it is in front. When it is made it
// registers a handler for each item it answers (its AddMenuHandlers); before a
// menu shows, its Event_EnableMenuItems enables those items, and only those.
// Items are known by their names, below.
#pragma once

#include <QHash>
#include <QString>
#include <functional>

namespace tabulon {

// The names of the menu items: the objectName of each item's action, and the
// key by which windows register their handlers.
namespace menu_item {
inline constexpr char kFileOpen[] = "FileOpen";
inline constexpr char kFileConvertToSpreadsheet[] = "FileConvertToSpreadsheet";
inline constexpr char kFileConvertFromMailbox[] = "FileConvertFromMailbox";
inline constexpr char kFileNewTemplateFromMail[] = "FileNewTemplateFromMail";
inline constexpr char kFileUpdateTables[] = "FileUpdateTables";
inline constexpr char kFileClose[] = "FileClose";
inline constexpr char kFileQuit[] = "FileQuit";
inline constexpr char kEditUndo[] = "EditUndo";
inline constexpr char kEditCut[] = "EditCut";
inline constexpr char kEditCopy[] = "EditCopy";
inline constexpr char kEditPaste[] = "EditPaste";
inline constexpr char kEditClear[] = "EditClear";
inline constexpr char kEditPreferences[] = "EditPreferences";
inline constexpr char kHelpTabulonHelp[] = "HelpTabulonHelp";
inline constexpr char kAppleAboutTabulon[] = "AppleAboutTabulon";
}  // namespace menu_item

// The menu bar's items as a window's Event_EnableMenuItems sees them.
class MenuItems {
  public:
    virtual ~MenuItems() = default;
    virtual void enable(const char* itemName, bool enabled = true) = 0;
};

class MenuClient {
  public:
    // Carries out one menu item and returns true: the item has been dealt with,
    // and nothing else carries it out.
    using MenuHandler = std::function<bool()>;

    virtual ~MenuClient() = default;
    // Enables every item this window has a handler for.
    virtual void Event_EnableMenuItems(MenuItems& items);
    // Runs the handler registered for `itemName`: true when the item has been
    // dealt with, false when this window has no handler for it.
    virtual bool handleMenuItem(const QString& itemName);

  protected:
    void addMenuHandler(const char* itemName, MenuHandler handler);

  private:
    QHash<QString, MenuHandler> handlers_;
};

}  // namespace tabulon
