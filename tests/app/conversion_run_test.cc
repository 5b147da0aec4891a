// Conversion runs from the main window: each road in, the dialogs a person sees,
// askforsave's one-run life, failures, and runs asked for during a run.
#include <sys/stat.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <QLabel>
#include <QProgressBar>
#include <filesystem>

#include "app/main_window_fixture.h"
#include "conversion/qt/progress_dialog.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon::test {
namespace {

using Lines = std::vector<std::string>;

const char kMail[] = "Subject: x\r\nName: Ann\r\nEmail: ann@example.org\r\n\r\nName: Bo\r\n";
const char kConverted[] = "Name:\tEmail:\r Ann\t ann@example.org\r Bo\t";

class ConversionRunTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        skipFirstStartCopy();
        writeFile(dir.file("mail.txt"), kMail);
        open();
    }
    std::string mail() const { return dir.file("mail.txt"); }
    std::string converted() const { return dir.file("mail.txt Converted"); }
};

// File > Open asks for the input, then the output; cancelling either writes nothing.
TEST_F(ConversionRunTest, FileOpenAsksForInputThenOutput) {
    answerDialogs({"", mail(), "", mail(), dir.file("out.txt")});
    window->openprogress();
    window->openprogress();
    window->menu->item(QStringLiteral("FileOpen"))->setEnabled(true);
    window->_FileOpen_Action();
    EXPECT_EQ(dialogLog(), (Lines{"open", "open", "save mail.txt Converted", "open",
                                  "save mail.txt Converted"}));
    EXPECT_EQ(readFile(dir.file("out.txt")), kConverted);
    EXPECT_EQ(dir.listing().find("Converted"), std::string::npos);
    EXPECT_TRUE(window->askforsave);
    EXPECT_FALSE(window->isConverting());
}

// A document asks only for the output, and not at all for one run after "don't ask".
TEST_F(ConversionRunTest, DocumentsAskOnlyForTheOutputAndDontAskLastsOneRun) {
    window->askforsave = false;
    window->openDocument(QString::fromStdString(mail()));
    EXPECT_TRUE(dialogLog().empty());  // written beside the input, no dialog at all
    EXPECT_EQ(readFile(converted()), kConverted);
    EXPECT_TRUE(window->askforsave);
    answerDialogs({dir.file("again.txt")});
    window->openDocument(QString::fromStdString(mail()));
    EXPECT_EQ(dialogLog(), (Lines{"save mail.txt Converted"}));
    EXPECT_EQ(readFile(dir.file("again.txt")), kConverted);
}

TEST_F(ConversionRunTest, FailuresNameTheFileAndLeaveNothingPartial) {
    answerDialogs({mail(), dir.file("missing/out.txt"),  // the output folder does not exist
                   dir.file("absent.txt"),               // the input does not exist
                   mail(), mail()});                     // the output would replace the input
    for (int run = 0; run < 3; ++run)
        window->openprogress();
    Lines log = dialogLog();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_NE(log[2].find("missing/out.txt"), std::string::npos) << log[2];
    EXPECT_EQ(log[3], "open");  // not asked where the output of a missing input goes
    EXPECT_NE(log[4].find("absent.txt\": No such file"), std::string::npos) << log[4];
    EXPECT_NE(log[7].find("it is the input file"), std::string::npos) << log[7];
    EXPECT_EQ(readFile(mail()), kMail);
    EXPECT_EQ(dir.listing().find("Converted"), std::string::npos);

    // An empty field list is said so, and an older output stays as it was.
    writeFile(converted(), "an older conversion");
    setListBoxFields(window->ListBox1, {});
    window->askforsave = false;
    window->openDocument(QString::fromStdString(mail()));
    EXPECT_EQ(dialogLog().back(), "message The Field Names file is missing!");
    EXPECT_EQ(readFile(converted()), "an older conversion");
}

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

TEST_F(ConversionRunTest, RequestsDuringARunWaitForIt) {
    std::string big;
    while (big.size() < (40 << 20))
        big += "Name: someone\nEmail: someone@example.org\n";
    writeFile(dir.file("big.txt"), big);
    Lines seenDuringRun;
    QTimer::singleShot(0, window.get(), [&] {
        seenDuringRun = dialogLog();
        EXPECT_TRUE(window->isConverting());
        window->openDocument(QString::fromStdString(mail()));  // waits for the big one
    });
    answerDialogs({dir.file("big.txt Converted"), converted()});
    window->openDocument(QString::fromStdString(dir.file("big.txt")));
    EXPECT_EQ(seenDuringRun, (Lines{"save big.txt Converted"}));
    EXPECT_EQ(dialogLog(), (Lines{"save big.txt Converted", "save mail.txt Converted"}));
    EXPECT_EQ(readFile(converted()), kConverted);
}

// Counts the progress dialog's appearances, and stops the run it shows.
class ProgressDialogWatch : public QObject {
  public:
    int shown = 0;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && object->objectName() == "Dialog2") {
            ++shown;
            static_cast<Dialog2*>(object)->stop();
        }
        return false;
    }
};

TEST_F(ConversionRunTest, TheProgressDialogAppearsOnlyForRunsLongEnoughToSee) {
    ProgressDialogWatch watch;
    qApp->installEventFilter(&watch);
    answerDialogs({converted()});
    window->openDocument(QString::fromStdString(mail()));
    EXPECT_EQ(readFile(converted()), kConverted);
    EXPECT_EQ(watch.shown, 0);

    // A sparse terabyte never ends by itself: it ends when the dialog has shown.
    std::string big = dir.file("big.txt");
    writeFile(big, "");
    std::filesystem::resize_file(big, uint64_t{1} << 40);
    answerDialogs({big + " Converted"});
    window->openDocument(QString::fromStdString(big));
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(watch.shown, 1);
    EXPECT_FALSE(std::filesystem::exists(big + " Converted"));
}

}  // namespace
}  // namespace tabulon::test
