#include "platform/qt/menu_client.h"

namespace tabulon {

bool MenuClient::handleMenuItem(const QString& itemName) {
    auto handler = handlers_.constFind(itemName);
    return handler != handlers_.constEnd() && (*handler)();
}

void MenuClient::Event_EnableMenuItems(MenuItems& items) {
    for (auto handler = handlers_.constBegin(); handler != handlers_.constEnd(); ++handler)
        items.enable(handler.key().toLatin1().constData());
}

void MenuClient::addMenuHandler(const char* itemName, MenuHandler handler) {
    handlers_.insert(QLatin1String(itemName), std::move(handler));
}

}  // namespace tabulon
