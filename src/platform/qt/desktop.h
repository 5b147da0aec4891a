// Hands addresses (web pages, "mailto:", documents) to the desktop's default
// handler. Tests replace the handler so that nothing is launched.
#pragma once

#include <QUrl>
#include <functional>

namespace tabulon {

// True when the desktop accepted the address.
bool openUrl(const QUrl& url);
void setUrlOpenerForTesting(std::function<bool(const QUrl&)> opener);

}  // namespace tabulon
