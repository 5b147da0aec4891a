#include "platform/preferences.h"

#include <cstdint>
#include <filesystem>

#include "platform/app_paths.h"
#include "platform/atomic_file.h"
#include "platform/line_reader.h"
#include "platform/text.h"

namespace tabulon {
namespace {

bool readBool(const std::string& line) {
    return equalsIgnoringCase(line, "true");
}
// Out-of-range numbers are clamped rather than overflowing.
int readInt(const std::string& line) {
    double value = Val(line);
    if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(value);
}
std::string writeBool(bool value) {
    return value ? "true" : "false";
}

}  // namespace

std::string preferencesPath() {
    return configFolder() + kPreferencesFileName;
}

Preferences parsePreferences(const std::vector<std::string>& lines) {
    auto line = [&](size_t number) {
        return number <= lines.size() ? lines[number - 1] : std::string();
    };
    Preferences prefs;
    prefs.checkForUpdates = readBool(line(1));
    prefs.openDialogOnStartup = readBool(line(2));
    prefs.templateName = line(3);
    prefs.multipleTemplates = readBool(line(4));
    prefs.windowLeft = readInt(line(5));
    prefs.windowTop = readInt(line(6));
    prefs.updateWindowLeft = readInt(line(7));
    prefs.updateWindowTop = readInt(line(8));
    prefs.templatesFolder = line(9);
    return prefs;
}

std::vector<std::string> preferenceLines(const Preferences& prefs) {
    return {writeBool(prefs.checkForUpdates),
            writeBool(prefs.openDialogOnStartup),
            prefs.templateName,
            writeBool(prefs.multipleTemplates),
            Str(static_cast<int64_t>(prefs.windowLeft)),
            Str(static_cast<int64_t>(prefs.windowTop)),
            Str(static_cast<int64_t>(prefs.updateWindowLeft)),
            Str(static_cast<int64_t>(prefs.updateWindowTop)),
            prefs.templatesFolder};
}

Status readPreferencesFile(const std::string& path, Preferences* prefs) {
    std::vector<std::string> lines;
    Status status = readLines(path, &lines, 64 * 1024);
    if (status.ok()) *prefs = parsePreferences(lines);
    return status;
}

Status writePreferencesFile(const std::string& path, const Preferences& prefs) {
    std::string content;
    for (const std::string& line : preferenceLines(prefs))
        content += line + "\n";
    std::error_code ignored;  // a missing folder shows up as the failure to create the file
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    return replaceFile(path, content, "pref", "TBLN");
}

Preferences withTemplateDefaults(Preferences prefs) {
    if (prefs.templateName.empty()) prefs.templateName = kDefaultTemplateName;
    if (prefs.templatesFolder.empty()) prefs.templatesFolder = kDefaultTemplatesFolder;
    return prefs;
}

std::string templatePath(const Preferences& prefs) {
    Preferences used = withTemplateDefaults(prefs);
    return resolvePath(childPath(used.templatesFolder, used.templateName));
}

}  // namespace tabulon
