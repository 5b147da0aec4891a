// Quitting while a run is under way: the run stops without leaving output, and
// the closing sequence saves as usual.
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/main_window_fixture.h"

namespace tabulon::test {
namespace {

using QuittingTest = MainWindowTest;

TEST_F(QuittingTest, ARunUnderWayStopsAndLeavesNoOutput) {
    openAfterFirstStart();
    window->FieldInsertButton_Action();  // a changed field list to save
    bool closed = false;
    QObject::connect(window.get(), &Window1::closed, [&] { closed = true; });
    // A sparse terabyte: the run cannot end by itself while the test lasts.
    std::string big = dir.file("big.txt");
    writeFile(big, "");
    std::filesystem::resize_file(big, uint64_t{1} << 40);
    writeFile(big + " Converted", "an older conversion");
    writeFile(dir.file("mail.txt"), "Name: Ann\r\nEmail: ann@example.org\r\n");
    answerDialogs({big + " Converted", dir.file("mail.txt Converted")});
    // A second file waits its turn; the window is closed (as a window manager
    // or a session asks) from the event loop as soon as the run is under way:
    // the run stops and the waiting file is dropped.
    QTimer::singleShot(0, window.get(), [&] {
        EXPECT_TRUE(window->isConverting());
        window->openDocument(QString::fromStdString(dir.file("mail.txt")));
    });
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    window->openDocument(QString::fromStdString(big));
    EXPECT_EQ(dialogLog(), (Lines{"save big.txt Converted"}));  // no message
    EXPECT_EQ(readFile(big + " Converted"), "an older conversion");
    EXPECT_EQ(dir.listing().find(".tabulon"), std::string::npos) << dir.listing();
    EXPECT_EQ(dir.listing().find("mail.txt Converted"), std::string::npos);
    // The window closes from the event loop, saving as at a normal quit.
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 60000));
    EXPECT_EQ(readFile(appTemplates() + "Field Names"), "Name:\rEmail:\rNew Row\r");
    EXPECT_EQ(prefs(), "false\nfalse\nField Names\nfalse\n10\n50\n10\n50\n:Templates:\n");
}

}  // namespace
}  // namespace tabulon::test
