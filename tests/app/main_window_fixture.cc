#include "app/main_window_fixture.h"

#include <stdlib.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <filesystem>
#include <sstream>

#include "platform/app_paths.h"
#include "platform/qt/desktop.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/scripted_dialogs.h"

namespace tabulon::test {

bool waitForEvents(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 60000);
}

Lines texts(const QListWidget* list) {
    Lines texts;
    for (int row = 0; row < list->count(); ++row)
        texts.push_back(list->item(row)->text().toStdString());
    return texts;
}

HelpWindow* helpWindow() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<HelpWindow*>(top); help && help->isVisible()) return help;
    }
    return nullptr;
}

void MainWindowTest::SetUp() {
    std::filesystem::create_directories(appTemplates());
    writeFile(appTemplates() + "Field Names", "Name:\rEmail:\r");
    writeFile(appTemplates() + "Orders", "Item:\rCount:\r");
    ::setenv("HOME", dir.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    setApplicationFolderForTesting(dir.file("app"));
    answerDialogs({});
    setUrlOpenerForTesting([this](const QUrl& url) {
        openedUrls.push_back(url.toString().toStdString());
        return true;
    });
}

void MainWindowTest::TearDown() {
    window.reset();
    setDialogs(nullptr);
    setUrlOpenerForTesting(nullptr);
    setApplicationFolderForTesting("");
}

void MainWindowTest::answerDialogs(const std::vector<std::string>& lines) {
    std::string script;
    for (const std::string& line : lines)
        script += line + "\n";
    writeFile(dir.file("script"), script);
    // Answers start again from the first of these lines.
    setDialogs(std::make_unique<ScriptedDialogs>(QString::fromStdString(dir.file("script"))));
}

Lines MainWindowTest::dialogLog() const {
    Lines lines;
    std::istringstream log(readFile(dir.file("script.log")));
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

void MainWindowTest::writePrefs(const std::string& content) {
    std::filesystem::create_directories(dir.file("config"));
    writeFile(prefsPath(), content);
}

void MainWindowTest::writeHelpDocument(const std::string& html) {
    std::filesystem::create_directories(dir.file("app/Tabulon Help"));
    writeFile(helpDocument(), html);
}

}  // namespace tabulon::test
