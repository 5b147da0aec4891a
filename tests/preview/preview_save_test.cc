// Save As Spreadsheet from the preview window: every format written and read
// back, and a save that fails, is cancelled, or outlives its window leaves
// nothing behind.
#include <QApplication>
#include <QCheckBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "app/qt/update_tables_run.h"
#include "mail/remembered_tables.h"
#include "preview/background_export.h"
#include "preview/preview_fixture.h"
#include "preview/remembered_export.h"
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
// replace the older file, keeps that file and leaves nothing else, by whichever
// key on the progress or the preview it comes (the progress never blocks
// closing or quitting). Until then the bar tells the whole save: with every row
// written, the workbook is still to come.
TEST_F(PreviewSaveTest, StoppedSaveKeepsTheOlderFile) {
    using Point = BackgroundExport::Point;
    writeFile(dir.file("out.xlsx"), "older");
    const std::tuple<bool, Qt::Key, Qt::KeyboardModifiers> stops[] = {
        // on the progress, else the preview; the key
        {true, Qt::Key_Escape, {}},
        {true, Qt::Key_W, Qt::ControlModifier},
        {false, Qt::Key_W, Qt::ControlModifier},
        {false, Qt::Key_Q, Qt::ControlModifier},
        {true, Qt::Key_Q, Qt::ControlModifier}};
    int round = 0;
    for (const auto& [onProgress, key, modifiers] : stops) {
        SCOPED_TRACE(round++);
        if (!window) openAfterFirstStart();
        window->show();
        QObject::connect(window->menu, &Menu::quitRequested, window.get(), &Window1::requestQuit);
        QPointer<PreviewWindow> preview = openPreview("form.mbox");
        showPreview(window.get(), preview);
        BackgroundExport::holdForTests(Point::kRowsWritten);
        answerDialogs({dir.file("out.xlsx")});
        ASSERT_TRUE(preview->save());
        EXPECT_FALSE(preview->save());  // one save at a time
        ASSERT_TRUE(waitForEvents([] { return BackgroundExport::heldForTests() != Point::kNone; }));
        ASSERT_TRUE(waitForEvents([&] { return preview->SaveProgress->value() > 0; }));
        EXPECT_LE(preview->SaveProgress->value(), 50);
        EXPECT_EQ(preview->SaveProgress->findChild<QProgressBar*>()->accessibleName(), "Saving");
        BackgroundExport::holdForTests(Point::kBeforeReplacing);
        ASSERT_TRUE(waitForEvents([&] {
            return BackgroundExport::heldForTests() == Point::kBeforeReplacing &&
                   preview->SaveProgress->isVisible();
        }));
        QWidget* target = onProgress ? static_cast<QWidget*>(preview->SaveProgress) : preview;
        target->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(target));
        QApplication::setActiveWindow(target);  // the offscreen platform leaves the preview so
        QTest::keyClick(target, key, modifiers);
        if (window->quitRequested() && waitForEvents([&] { return !window->isVisible(); }))
            window.reset();  // as the app ends once its window has closed
        EXPECT_TRUE(waitForEvents([&] { return !preview || !preview->isSaving(); }));
        // A stop on the progress is the progress's own: the preview stays, with the keys.
        bool previewHasKeys = !onProgress || key == Qt::Key_Q || waitForEvents([&] {
            return preview && QApplication::activeWindow() == preview;
        });
        EXPECT_TRUE(previewHasKeys);
        ::remove(dir.file("script.log").c_str());
        EXPECT_EQ(readFile(dir.file("out.xlsx")), "older");
        EXPECT_EQ(dir.listing(), "app|config|data|form.mbox|out.xlsx|script");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(spreadsheetSettingsPath())));
        if (preview) preview->close();
    }
    BackgroundExport::holdForTests(Point::kNone);
}

// "Save attached files beside the table": the files in a folder named after
// the table, listed in an Attachments column. A save of only the new messages
// is remembered, and File > Update Tables adds to it what came since.
TEST_F(PreviewSaveTest, AttachedFilesBesideTheTableAndTablesUpdated) {
    ScopedEnv state("XDG_STATE_HOME", nullptr);
    auto form = [](const std::string& who) {
        return "From f@x.example Mon Nov 30 09:14:02 2026\nFrom: f@x.example\nMessage-ID: <" + who +
               ">\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n--b\n"
               "Content-Type: text/plain\n\nName: " +
               who + "\nEmail: " + who +
               "@x.example\n--b\nContent-Type: application/pdf\n"
               "Content-Disposition: attachment; filename=\"cv.pdf\"\n\n" +
               who + "\n--b--\n\n";
    };
    writeFile(dir.file("files.mbox"), form("Ann"));
    auto* preview = openPreview("files.mbox");
    preview->SaveAttachments->setChecked(true);
    ASSERT_TRUE(saveAs(preview, dir.file("t.csv") + "\t" + formatFilter(TableFormat::kCsv)));
    ReadTable table = readTable("csv", dir.file("t.csv"), dir.path());
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].back(), "Attachments");
    std::string saved = table.rows[1].back();
    EXPECT_EQ(saved.substr(0, 14), "t Attachments/");
    EXPECT_EQ(readFile(dir.file(saved)), "Ann");

    ExportRequest request;
    request.inputs = {dir.file("files.mbox")};
    request.options.fields = {"Name:", "Email:"};
    request.format = TableFormat::kCsv;
    request.output = dir.file("new.csv");
    request.newOnly = true;
    ASSERT_TRUE(exportTable(request).ok());
    ASSERT_TRUE(rememberExport(request, rememberedTablesPath()).ok());
    writeFile(dir.file("files.mbox"), form("Ann") + form("Bo"));
    setUpdateTablesProgramForTesting(TABULON_CONVERT_BINARY);
    size_t shown = dialogLog().size();
    EXPECT_TRUE(window->handleMenuItem(QStringLiteral("FileUpdateTables")));
    EXPECT_TRUE(waitForEvents([&] { return dialogLog().size() > shown; }));
    setUpdateTablesProgramForTesting("");
    EXPECT_EQ(dialogLog().back(), "message \"" + dir.file("new.csv") + "\": 1 row added");
    EXPECT_EQ(readFile(dir.file("new.csv")),
              "Name,Email\r\nAnn,Ann@x.example\r\nBo,Bo@x.example\r\n");
}

}  // namespace
}  // namespace tabulon::test
