// Quitting while something modal is under way: open dialogs end as cancelled, a
// run stops without leaving output, and the closing sequence saves as usual.
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/main_window_fixture.h"

namespace tabulon::test {
namespace {

using Lines = std::vector<std::string>;

const char kMail[] = "Name: Ann\r\nEmail: ann@example.org\r\n";

class QuittingTest : public MainWindowTest {
  protected:
    // Opens the window with one row inserted (a changed field list to save).
    void openChanged() {
        skipFirstStartCopy();
        open();
        window->FieldInsertButton_Action();
        QObject::connect(window.get(), &Window1::closed, [this] { closed = true; });
    }
    // Runs `action`, asking to quit from the event loop as soon as it runs.
    void quitDuring(const std::function<void()>& action) {
        QTimer::singleShot(0, window.get(), [this] { window->requestQuit(); });
        action();
    }
    // True once the window has closed from the event loop.
    bool waitUntilClosed() {
        return QTest::qWaitFor([this] { return closed; }, 60000);
    }
    // The closing sequence ran: the inserted row and the preferences were saved.
    void expectSavedAsAtANormalQuit() {
        EXPECT_EQ(readFile(appTemplates() + "Field Names"), "Name:\rEmail:\rNew Row\r");
        EXPECT_EQ(prefs(), "false\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n");
    }

    bool closed = false;
};

TEST_F(QuittingTest, OpenDialogsEndAsCancelled) {
    writeFile(dir.file("mail.txt"), kMail);
    struct Case {
        const char* name;
        std::function<void(Window1&)> action;
        Lines shown;
    };
    const std::string mail = dir.file("mail.txt");
    const std::vector<Case> cases = {
        {"open dialog", [](Window1& w) { w._FileOpen_Action(); }, {"open"}},
        {"save dialog",
         [&](Window1& w) { w.openDocument(QString::fromStdString(mail)); },
         {"save mail.txt Converted"}},
        {"folder dialog", [](Window1& w) { w.BevelButton1_Action(); }, {"folder"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir.file("script.log"));
        std::filesystem::remove(prefsPath());
        writeFile(appTemplates() + "Field Names", "Name:\rEmail:\r");
        closed = false;
        openChanged();
        answerDialogs({"<stay open>", mail, mail});  // after quitting, nothing more is asked
        quitDuring([&] { c.action(*window); });
        EXPECT_EQ(dialogLog(), c.shown);
        ASSERT_TRUE(waitUntilClosed());
        EXPECT_EQ(dir.listing().find("Converted"), std::string::npos);
        expectSavedAsAtANormalQuit();
    }
}

TEST_F(QuittingTest, ARunUnderWayStopsAndLeavesNoOutput) {
    openChanged();
    // A sparse terabyte: the run cannot end by itself while the test lasts.
    std::string big = dir.file("big.txt");
    writeFile(big, "");
    std::filesystem::resize_file(big, uint64_t{1} << 40);
    writeFile(big + " Converted", "an older conversion");
    writeFile(dir.file("mail.txt"), kMail);
    answerDialogs({big + " Converted", dir.file("mail.txt Converted")});
    quitDuring([&] {
        QTimer::singleShot(0, window.get(), [&] {
            EXPECT_TRUE(window->isConverting());
            window->openDocument(QString::fromStdString(dir.file("mail.txt")));  // dropped
        });
        window->openDocument(QString::fromStdString(big));
    });
    EXPECT_EQ(dialogLog(), (Lines{"save big.txt Converted"}));  // and no message
    EXPECT_EQ(readFile(big + " Converted"), "an older conversion");
    EXPECT_EQ(dir.listing().find(".tabulon"), std::string::npos) << dir.listing();
    EXPECT_EQ(dir.listing().find("mail.txt Converted"), std::string::npos);
    ASSERT_TRUE(waitUntilClosed());
    expectSavedAsAtANormalQuit();
}

}  // namespace
}  // namespace tabulon::test
