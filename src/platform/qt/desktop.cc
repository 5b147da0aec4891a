#include "platform/qt/desktop.h"

#include <QDesktopServices>

namespace tabulon {
namespace {

std::function<bool(const QUrl&)>& opener() {
    static std::function<bool(const QUrl&)> function;
    return function;
}

}  // namespace

bool openUrl(const QUrl& url) {
    if (opener()) return opener()(url);
    return QDesktopServices::openUrl(url);
}

void setUrlOpenerForTesting(std::function<bool(const QUrl&)> function) {
    opener() = std::move(function);
}

}  // namespace tabulon
