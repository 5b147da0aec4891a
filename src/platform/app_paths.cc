#include "platform/app_paths.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/file_info.h"

namespace tabulon {
namespace {

std::string& folderOverride() {
    static std::string folder;
    return folder;
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return asFolderPath(home != nullptr && *home != '\0' ? home : "/");
}

// XDG base folders must be absolute; anything else is ignored.
std::string xdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return asFolderPath(value);
    return homeFolder() + fallback;
}

}  // namespace

std::string executableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

std::string applicationFolder() {
    if (!folderOverride().empty()) return folderOverride();
    std::string folder = executableFolder();
    if (isFolder(folder + "Templates")) return folder;
    // Installed: <prefix>/bin/ or <prefix>/libexec/tabulon/ beside <prefix>/share/tabulon/;
    // in a build tree, libexec/tabulon/ beside bin/.
    for (const char* up : {"../share/tabulon/", "../../share/tabulon/", "../../bin/"}) {
        std::string installed = folder + up;
        if (isFolder(installed + "Templates")) return installed;
    }
    return folder;
}

void setApplicationFolderForTesting(const std::string& folder) {
    folderOverride() = folder.empty() ? folder : asFolderPath(folder);
}

std::string asFolderPath(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string resolvePath(const std::string& path) {
    if (path.empty() || path[0] != ':') return path;
    std::string relative = path.substr(1);
    for (char& c : relative) {
        if (c == ':') c = '/';
    }
    return applicationFolder() + relative;
}

std::string childPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    char last = folder.back();
    if (last == '/' || (folder[0] == ':' && last == ':')) return folder + name;
    return folder + (folder[0] == ':' ? ":" : "/") + name;
}

std::string configFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config/");
}
std::string dataFolder() {
    return xdgFolder("XDG_DATA_HOME", ".local/share/");
}
std::string stateFolder() {
    return xdgFolder("XDG_STATE_HOME", ".local/state/");
}

}  // namespace tabulon
