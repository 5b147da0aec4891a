// A main window in a scratch world: its own home, configuration and data
// folders, an application folder with two templates, scripted dialogs whose log
// the test reads, and a URL opener that only records.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/help.h"
#include "app/qt/window1.h"
#include "test_util.h"

class QListWidget;

namespace tabulon::test {

using Lines = std::vector<std::string>;

// Handles events until `done` holds, for a minute at most: a loaded machine only
// makes it wait longer.
bool waitForEvents(const std::function<bool()>& done);
// The texts of `list`'s rows.
Lines texts(const QListWidget* list);
// The help window on screen, if any.
HelpWindow* helpWindow();

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window and runs its opening sequence.
    Window1& open() {
        window = std::make_unique<Window1>();
        window->Event_Open();
        return *window;
    }
    // Opens it as at any start after the first.
    Window1& openAfterFirstStart() {
        skipFirstStartCopy();
        return open();
    }
    // Closes it as quitting does, running the closing sequence.
    void quit() { window->close(); }

    // Lines that the next file dialogs will answer with, from the first on.
    void answerDialogs(const std::vector<std::string>& lines);
    // What the dialogs showed so far, one entry per line of the log.
    Lines dialogLog() const;

    std::string prefsPath() const { return dir.file("config/Tabulon Prefs"); }
    std::string prefs() const { return readFile(prefsPath()); }
    void writePrefs(const std::string& content);
    std::string appTemplates() const { return dir.file("app/Templates/"); }
    std::string helpDocument() const { return dir.file("app/Tabulon Help/Tabulon Help"); }
    void writeHelpDocument(const std::string& html);
    // Makes the data folder's Tabulon folder exist, as after an earlier start.
    void skipFirstStartCopy() { std::filesystem::create_directories(dir.file("data/Tabulon")); }
    // The field list's rows.
    Lines rows() const { return texts(window->ListBox1); }

    TempDir dir;
    std::unique_ptr<Window1> window;
    std::vector<std::string> openedUrls;
};

}  // namespace tabulon::test
