// Save As Spreadsheet from the preview window: every format written and read
// back, and a save that fails, is cancelled, or outlives its window leaves
// nothing behind.
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "preview/background_export.h"
#include "preview/preview_fixture.h"
#include "preview/save_choice.h"
#include "preview/spreadsheet_settings.h"
#include "table/table_reader.h"

namespace tabulon::test {
namespace {

// The first two columns, which no format changes (csv and tsv guard a leading
// "+", a workbook leaves an empty last cell out).
std::vector<std::vector<std::string>> nameAndEmail(std::vector<std::vector<std::string>> rows) {
    for (auto& row : rows)
        row.resize(2);
    return rows;
}

class PreviewSaveTest : public FormMailTest {
  protected:
    // Answers the save dialog with `answer` ("name<Tab>filter"), saves and
    // waits for the end; true when written.
    bool saveAs(PreviewWindow* preview, const std::string& answer) {
        answerDialogs({answer});
        return saveAndWait(preview);
    }
};

// Each offered format through the dialog, read back with a real parser. The
// name, the filter and the file written agree: a name without a known
// extension gets the filter's; one with a known extension keeps its format.
TEST_F(PreviewSaveTest, WritesEveryOfferedFormat) {
    struct Case {
        TableFormat filter;
        std::string typed, written;
        TableFormat format;
    };
    const Case cases[] = {
        {TableFormat::kXlsx, "a", "a.xlsx", TableFormat::kXlsx},
        {TableFormat::kCsv, "b", "b.csv", TableFormat::kCsv},
        {TableFormat::kTsv, "c.mbox Converted", "c.mbox Converted.tsv", TableFormat::kTsv},
        {TableFormat::kTab, "d", "d", TableFormat::kTab},
        {TableFormat::kXlsx, "e.CSV", "e.CSV", TableFormat::kCsv},
    };
    auto* preview = openPreview("form.mbox");
    std::vector<std::vector<std::string>> expected = {{"Name", "Email", "Phone"}};
    expected.insert(expected.end(), kFormRows.begin(), kFormRows.end());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        ASSERT_TRUE(saveAs(preview, dir.file(c.typed) + "\t" + formatFilter(c.filter)));
        std::string path = dir.file(c.written);
        if (c.format == TableFormat::kTab) {  // cells end in Tab, rows in CR
            std::string text = readFile(path);
            EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 4);
            EXPECT_EQ(text.substr(0, text.find('\r')), "Name:\tEmail:\tPhone:");
        } else {
            ReadTable table = readTable(std::string(formatName(c.format)), path, dir.path());
            ASSERT_TRUE(table.ok) << table.error;
            EXPECT_EQ(nameAndEmail(table.rows), nameAndEmail(expected));
        }
        // Remembered for the next save, even when the typed name chose it.
        EXPECT_EQ(readSpreadsheetSettings(spreadsheetSettingsPath()).format, c.format);
    }
}

// A save that cannot be written says why and leaves nothing: the input as the
// output, and a folder that is not there.
TEST_F(PreviewSaveTest, RefusedSaveLeavesNothing) {
    auto* preview = openPreview("form.mbox");
    // The progress is gone before the message, never left to show over it.
    int progressLeft = 0;
    QObject::connect(preview, &PreviewWindow::saveFinished, preview,
                     [&] { progressLeft += preview->findChildren<QProgressDialog*>().size(); });
    EXPECT_FALSE(saveAs(preview, dir.file("form.mbox") + "\t" + formatFilter(TableFormat::kTab)));
    EXPECT_FALSE(saveAs(preview, dir.file("gone/out")));
    EXPECT_EQ(readFile(dir.file("form.mbox")), kFormMail);
    EXPECT_EQ(dir.listing(), "app|config|data|form.mbox|script|script.log");
    std::vector<std::string> log = dialogLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_NE(log[1].find("it is the input file"), std::string::npos);
    EXPECT_NE(log[3].find("could not be saved"), std::string::npos);
    EXPECT_EQ(progressLeft, 0);
}

// A stop that comes once the workbook is written, just before it would
// replace the older file, still keeps that file, by whichever key or button it
// comes; the progress does not block closing or quitting. Until then the bar
// tells the whole save: with every row written, the workbook is still to come.
TEST_F(PreviewSaveTest, LateStopKeepsTheOlderFile) {
    writeFile(dir.file("out.xlsx"), "older");
    auto key = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [=](QWidget* target) { QTest::keyClick(target, Qt::Key(key), modifiers); };
    };
    struct Case {
        bool onProgress;  // the stop comes to the progress, else to the preview
        std::function<void(QWidget*)> stop;
    };
    const Case cases[] = {
        {true, key(Qt::Key_Escape)},
        {true,
         [](QWidget* progress) {
             QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
         }},
        {true, key(Qt::Key_W, Qt::ControlModifier)},
        {false, key(Qt::Key_W, Qt::ControlModifier)},
        {false, [](QWidget* preview) { preview->close(); }},
        {false, key(Qt::Key_Q, Qt::ControlModifier)},
        {true, key(Qt::Key_Q, Qt::ControlModifier)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        if (!window) openAfterFirstStart();
        window->show();
        // As the app quits when Quit is chosen.
        QObject::connect(window->menu, &Menu::quitRequested, window.get(), &Window1::requestQuit);
        QPointer<PreviewWindow> preview = openPreview("form.mbox");
        showPreview(window.get(), preview);
        BackgroundExport::holdForTests(BackgroundExport::Point::kRowsWritten);
        answerDialogs({dir.file("out.xlsx")});
        ASSERT_TRUE(preview->save());
        using Point = BackgroundExport::Point;
        ASSERT_TRUE(waitForEvents([] { return BackgroundExport::heldForTests() != Point::kNone; }));
        ASSERT_TRUE(waitForEvents([&] { return preview->SaveProgress->value() > 0; }));
        EXPECT_LE(preview->SaveProgress->value(), 50);
        BackgroundExport::holdForTests(Point::kBeforeReplacing);
        ASSERT_TRUE(waitForEvents(
            [] { return BackgroundExport::heldForTests() == Point::kBeforeReplacing; }));
        ASSERT_TRUE(waitForEvents([&] { return preview->SaveProgress->isVisible(); }));
        QWidget* target = c.onProgress ? static_cast<QWidget*>(preview->SaveProgress) : preview;
        target->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(target));
        c.stop(target);
        if (window->quitRequested()) {
            EXPECT_TRUE(waitForEvents([&] { return !window->isVisible(); }));
            window.reset();  // as the app ends once its window has closed
        }
        EXPECT_TRUE(waitForEvents([&] { return !preview || !preview->isSaving(); }));
        EXPECT_EQ(readFile(dir.file("out.xlsx")), "older");
        EXPECT_EQ(BackgroundExport::heldForTests(), BackgroundExport::Point::kNone);
        if (preview) preview->close();
    }
    BackgroundExport::holdForTests(BackgroundExport::Point::kNone);
}

// Cancel, closing the window and quitting each stop a save under way: the file
// it would have replaced keeps its content, nothing else is left, and the
// settings keep what the last good save chose.
TEST_F(PreviewSaveTest, StoppedSaveKeepsTheOlderFile) {
    writeCopies("big.mbox", 4000);
    writeFile(dir.file("out.xlsx"), "older");
    ::remove(dir.file("script.log").c_str());
    const std::function<void(PreviewWindow*)> stops[] = {
        [](PreviewWindow* preview) { preview->SaveProgress->findChild<QPushButton*>()->click(); },
        [](PreviewWindow* preview) { preview->close(); },
        [this](PreviewWindow*) {
            window->requestQuit();
            window.reset();
        },
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(&stop - stops);
        if (!window) open();
        QPointer<PreviewWindow> preview = openPreview("big.mbox");
        answerDialogs({dir.file("out.xlsx")});
        ASSERT_TRUE(preview->save());
        ASSERT_TRUE(preview->isSaving());
        const size_t asked = dialogLog().size();
        EXPECT_FALSE(preview->save());  // one save at a time: nothing more is asked
        EXPECT_EQ(dialogLog().size(), asked);
        stop(preview);
        EXPECT_TRUE(waitForEvents([&] { return !preview || !preview->isSaving(); }));
        QApplication::processEvents();
        ::remove(dir.file("script.log").c_str());
        EXPECT_TRUE(readFile(dir.file("out.xlsx")) == "older");
        EXPECT_EQ(dir.listing(), "app|big.mbox|config|data|form.mbox|out.xlsx|script");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(spreadsheetSettingsPath())));
        if (preview) preview->close();
    }
}

}  // namespace
}  // namespace tabulon::test
