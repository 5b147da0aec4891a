#include "templates/templates_folder.h"

#include <algorithm>
#include <filesystem>

#include "platform/app_paths.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tabulon {
namespace {

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = asciiLower(a[i]), y = asciiLower(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

// "Orders (Permission denied)": the item and why it was not copied.
std::string failedItem(const fs::path& item, const std::error_code& error) {
    return item.filename().string() + " (" + error.message() + ")";
}

}  // namespace

std::vector<std::string> listTemplatesFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!equalsIgnoringCase(name, ".DS_Store")) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
}

std::string templatesCopyFolder() {
    return dataFolder() + "Tabulon/";
}

void copyFileOrFolder(const std::string& source, const std::string& destination,
                      const std::function<void(const CopyReport&)>& report) {
    CopyReport result{asFolderPath(destination), {}};
    std::error_code error;
    fs::create_directories(result.destination, error);
    fs::path from(source);
    if (from.filename().empty()) from = from.parent_path();  // "Templates/" -> "Templates"
    fs::path to = fs::path(result.destination) / from.filename();
    if (!fs::is_directory(from, error)) {
        if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error)) {
            result.failed.push_back(failedItem(from, error));
        }
        return report(result);
    }
    fs::create_directory(to, error);
    std::vector<fs::path> items;
    for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
        items.push_back(it->path());
    }
    if (error) result.failed.push_back(failedItem(from, error));
    for (const fs::path& item : items) {
        std::error_code itemError;
        if (fs::is_directory(item, itemError)) {
            copyFileOrFolder(item.string(), to.string(), report);
        } else if (!fs::copy_file(item, to / item.filename(), fs::copy_options::overwrite_existing,
                                  itemError)) {
            result.failed.push_back(failedItem(item, itemError));
        }
    }
    report(result);
}

}  // namespace tabulon
