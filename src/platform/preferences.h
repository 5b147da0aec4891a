// The preferences file "Tabulon Prefs", read and written by the app and read by
// tabulon-convert for the current template: nine lines, one value each, no keys.
// Booleans are "true"/"false" (any other text reads as false), integers decimal.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace tabulon {

// What an empty template name or Templates folder stands for.
inline constexpr const char* kDefaultTemplateName = "Field Names";
inline constexpr const char* kDefaultTemplatesFolder = ":Templates:";

struct Preferences {
    bool checkForUpdates = true;                            // line 1
    bool openDialogOnStartup = false;                       // line 2
    std::string templateName = kDefaultTemplateName;        // line 3
    bool multipleTemplates = false;                         // line 4
    int windowLeft = 10;                                    // line 5
    int windowTop = 50;                                     // line 6
    int updateWindowLeft = 10;                              // line 7
    int updateWindowTop = 50;                               // line 8
    std::string templatesFolder = kDefaultTemplatesFolder;  // line 9
};

// The file's name inside the configuration folder.
inline constexpr const char* kPreferencesFileName = "Tabulon Prefs";

// configFolder() + "Tabulon Prefs".
std::string preferencesPath();

// Reads the nine values from the file's lines; lines missing at the end read as
// empty (false, 0, empty text).
Preferences parsePreferences(const std::vector<std::string>& lines);

// The nine lines that store `prefs`, in file order.
std::vector<std::string> preferenceLines(const Preferences& prefs);

// Reads the file's nine lines. Fails when the file is missing or unreadable.
Status readPreferencesFile(const std::string& path, Preferences* prefs);

// Replaces the file (creating its folder when needed) with the nine lines of
// `prefs`, each ended by LF, type "pref" and creator "TBLN". A failed write keeps
// the old file.
Status writePreferencesFile(const std::string& path, const Preferences& prefs);

// `prefs` with an empty template name or Templates folder (as a short or damaged
// file gives) replaced by its default.
Preferences withTemplateDefaults(Preferences prefs);

// The template the app would load: folder and name from
// withTemplateDefaults(prefs), ":"-paths resolved.
std::string templatePath(const Preferences& prefs);

}  // namespace tabulon
