// Conversion runs from the main window: inputs that would block a reader, and
// several files dropped at once.
#include <sys/stat.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <filesystem>

#include "app/main_window_fixture.h"

namespace tabulon::test {
namespace {

const char kMail[] = "Subject: x\r\nName: Ann\r\nEmail: ann@example.org\r\n\r\nName: Bo\r\n";
const char kConverted[] = "Name:\tEmail:\r Ann\t ann@example.org\r Bo\t";

class ConversionRunTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        writeFile(dir.file("mail.txt"), kMail);
        openAfterFirstStart();
    }
    std::string mail() const { return dir.file("mail.txt"); }
    std::string converted() const { return dir.file("mail.txt Converted"); }
};

TEST_F(ConversionRunTest, PipesAndDevicesAreRefusedWithoutWaiting) {
    // Opening a FIFO that no one writes to would wait for ever.
    std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& input : {fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(input);
        std::filesystem::remove(dir.file("script.log"));
        answerDialogs({input, dir.file("out.txt"), dir.file("out.txt")});
        window->openprogress();                               // File > Open
        window->openDocument(QString::fromStdString(input));  // a drop, a document
        // Refused before asking where the output goes.
        std::string refused = "message Cannot read \"" + input + "\": it is not a regular file";
        EXPECT_EQ(dialogLog(), (Lines{"open", refused, refused}));
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
    }
}

TEST_F(ConversionRunTest, DroppedFilesRunOneAfterAnother) {
    writeFile(dir.file("second.txt"), "Name: Cy\n");
    answerDialogs({converted(), dir.file("second.txt Converted")});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(mail())),
                  QUrl::fromLocalFile(QString::fromStdString(dir.file("second.txt")))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    QApplication::processEvents();
    EXPECT_EQ(dialogLog(), (Lines{"save mail.txt Converted", "save second.txt Converted"}));
    EXPECT_EQ(readFile(converted()), kConverted);
    EXPECT_EQ(readFile(dir.file("second.txt Converted")), "Name:\tEmail:\r Cy\t");
}

}  // namespace
}  // namespace tabulon::test
