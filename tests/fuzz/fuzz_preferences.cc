// The preferences file: any content reads without failing, and the settings read
// write back as nine lines that read into the same settings.
#include <cstdint>
#include <string>

#include "platform/preferences.h"
#include "test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tabulon::test::TempDir dir;
    const std::string path = dir.file("Tabulon Prefs");
    tabulon::test::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    tabulon::Preferences prefs;
    if (!tabulon::readPreferencesFile(path, &prefs).ok()) __builtin_trap();
    std::vector<std::string> lines = tabulon::preferenceLines(prefs);
    if (lines.size() != 9) __builtin_trap();
    // Text values holding a line end cannot survive a round trip; the others must.
    bool plainText = prefs.templateName.find_first_of("\r\n") == std::string::npos &&
                     prefs.templatesFolder.find_first_of("\r\n") == std::string::npos;
    if (plainText && tabulon::preferenceLines(tabulon::parsePreferences(lines)) != lines) {
        __builtin_trap();
    }
    return 0;
}
