// The spreadsheet preview, its save and the template made from mail, through
// the real windows with scripted dialogs.
#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>
#include <filesystem>

#include "app/main_window_fixture.h"
#include "app/qt/new_template_dialog.h"
#include "app/qt/preview_model.h"
#include "app/qt/preview_window.h"
#include "preview/preview_samples.h"
#include "table/table_reader.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon::test {
namespace {

using Lines = std::vector<std::string>;

class PreviewWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        skipFirstStartCopy();
        writeFile(mail(), kFormMail);
        open();
        setListBoxFields(window->ListBox1, kFormFields);
    }
    std::string mail() const { return dir.file("form.mbox"); }

    // File > Convert to Spreadsheet with `mail()` chosen, read to the end.
    PreviewWindow* openPreview() {
        answerDialogs({mail()});
        EXPECT_TRUE(window->handleMenuItem(QStringLiteral("FileConvertToSpreadsheet")));
        auto* preview = window->findChild<PreviewWindow*>();
        if (preview == nullptr) return nullptr;
        EXPECT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
        QApplication::processEvents();
        return preview;
    }

    static std::vector<TableRow> shown(const PreviewModel& model) {
        std::vector<TableRow> rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            TableRow cells;
            for (int column = 0; column < model.columnCount(); ++column)
                cells.push_back(model.cell(row, column));
            rows.push_back(cells);
        }
        return rows;
    }
};

TEST_F(PreviewWindowTest, ShowsOneRowPerMessageWithMissingCellsMarked) {
    PreviewWindow* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(dialogLog(), (Lines{"open"}));
    EXPECT_EQ(shown(*preview->model), kFormRows);
    EXPECT_EQ(preview->PreviewTable->model(), preview->model);
    EXPECT_EQ(preview->model->titles(), (QStringList{"Name", "Email", "Phone"}));
    QModelIndex missing = preview->model->index(1, 2);
    EXPECT_EQ(missing.data().toString().toStdString(), "missing");
    EXPECT_TRUE(missing.data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(preview->model->index(1, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(preview->StatusText->text().toStdString(), "3 messages");
    EXPECT_EQ(preview->MissingText->text().toStdString(), "Missing: Phone in 1 message");
    QList<QPushButton*> labels = preview->LabelButtons->findChildren<QPushButton*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->property("label").toString().toStdString(), "Order:");
    // Menu items the preview has no handler for go to the main window.
    EXPECT_TRUE(preview->handleMenuItem(QStringLiteral("EditPreferences")));
    EXPECT_EQ(window->TabPanel1->currentIndex(), 2);
}

// Files dropped with Ctrl held open a preview of them all in one table; without
// it they are converted as before.
TEST_F(PreviewWindowTest, CtrlDropOpensThePreviewOfEveryFile) {
    writeFile(dir.file("second.mbox"), kFormMail);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(mail())),
                  QUrl::fromLocalFile(QString::fromStdString(dir.file("second.mbox")))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::ControlModifier);
    // Straight to the window: outside a real drag, the application drops the event.
    static_cast<QObject*>(window.get())->event(&drop);
    PreviewWindow* preview = nullptr;
    ASSERT_TRUE(waitForEvents([&] {
        preview = window->findChild<PreviewWindow*>();
        return preview != nullptr && !preview->isReading();
    }));
    std::vector<TableRow> twice = kFormRows;
    twice.insert(twice.end(), kFormRows.begin(), kFormRows.end());
    EXPECT_EQ(shown(*preview->model), twice);
    EXPECT_EQ(preview->windowTitle().toStdString(),
              "form.mbox and 1 more \u2013 Spreadsheet Preview");
    EXPECT_TRUE(dialogLog().empty());
    EXPECT_FALSE(std::filesystem::exists(mail() + " Converted"));
}

// Header columns come first; a suggested label extends the template and the
// preview; the preview follows edits of the field list.
TEST_F(PreviewWindowTest, FollowsHeaderColumnsLabelsAndEditsOfTheFieldList) {
    PreviewWindow* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    auto readAgain = [&] {
        ASSERT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
        QApplication::processEvents();
    };
    preview->HeaderFrom->click();
    readAgain();
    EXPECT_EQ(preview->model->titles(), (QStringList{"From", "Name", "Email", "Phone"}));
    EXPECT_EQ(preview->model->cell(2, 0), "J\xC3\xBCrgen M\xC3\xBCller <j@post.example>");

    window->updatedfields = false;
    preview->LabelButtons->findChild<QPushButton*>()->click();
    EXPECT_EQ(rows(), (Lines{"Name:", "Email:", "Phone:", "Order:"}));
    EXPECT_TRUE(window->updatedfields);
    readAgain();
    EXPECT_EQ(preview->model->columnCount(), 5);
    EXPECT_EQ(preview->model->cell(0, 4), "17");
    EXPECT_TRUE(preview->LabelButtons->isHidden());

    delete window->ListBox1->takeItem(0);  // Name: goes
    ASSERT_TRUE(waitForEvents(
        [&] { return preview->model->titles().size() == 4 && !preview->isReading(); }));
    QApplication::processEvents();
    EXPECT_EQ(preview->model->cell(0, 1), "ann@mail.example");
}

// The formats' bytes are the writers' (tests/table); here: the dialog's answer
// picks the format, the file reads back, the next save proposes the same, and a
// failed save says so and leaves nothing.
TEST_F(PreviewWindowTest, SavesTheChosenFormatAndRemembersIt) {
    PreviewWindow* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    answerDialogs({dir.file("book"), dir.file("sheet\tcsv"), dir.file("missing/out.csv")});
    ASSERT_TRUE(preview->save());  // the workbook is the first choice
    ASSERT_TRUE(preview->save());
    ReadTable table = readTable("xlsx", dir.file("book.xlsx"), dir.path());
    ASSERT_TRUE(table.ok) << table.error;
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.rows[0], (Lines{"Name", "Email", "Phone"}));
    EXPECT_EQ(table.rows[3][0], "J\xC3\xBCrgen M\xC3\xBCller");
    EXPECT_TRUE(std::filesystem::exists(dir.file("sheet.csv")));
    EXPECT_EQ(readFile(dir.file("config/Tabulon Settings")), "format=csv\nheaders=\n");
    EXPECT_FALSE(preview->save());
    Lines log = dialogLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(Lines(log.begin(), log.begin() + 4),
              (Lines{"open", "save form.mbox Converted.xlsx", "save form.mbox Converted.xlsx",
                     "save form.mbox Converted.csv"}));
    EXPECT_EQ(log[4].rfind("message The spreadsheet could not be saved.", 0), 0u) << log[4];
    EXPECT_NE(log[4].find("missing/out.csv"), std::string::npos) << log[4];
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

TEST_F(PreviewWindowTest, TemplateFromMailIsSavedSelectedAndFillsEveryColumn) {
    answerDialogs({mail()});
    ASSERT_TRUE(window->handleMenuItem(QStringLiteral("FileNewTemplateFromMail")));
    auto* dialog = window->findChild<NewTemplateDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->FieldChoices->count(), 4);
    EXPECT_EQ(dialog->TemplateName->text().toStdString(), "form");
    // Order: goes to the end and Email: is unticked.
    dialog->FieldChoices->setCurrentRow(0);
    for (int i = 0; i < 3; ++i)
        dialog->DownButton->click();
    dialog->FieldChoices->item(1)->setCheckState(Qt::Unchecked);
    dialog->TemplateName->setText(QStringLiteral("Field Names"));  // in use: refused, stays
    EXPECT_FALSE(dialog->saveTemplate());
    EXPECT_EQ(readFile(appTemplates() + "Field Names"), "Name:\rEmail:\r");
    EXPECT_EQ(dialogLog().back(),
              "message The Templates folder already holds \"Field Names\". Please choose another "
              "name.");
    dialog->TemplateName->setText(QStringLiteral("Shop Form"));
    dialog->SaveButton->click();
    EXPECT_EQ(readFile(appTemplates() + "Shop Form"), "Name:\rPhone:\rOrder:\r");
    EXPECT_EQ(window->PopupMenu1->currentText().toStdString(), "Shop Form");
    EXPECT_EQ(rows(), (Lines{"Name:", "Phone:", "Order:"}));

    PreviewWindow* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    for (int column = 0; column < preview->model->columnCount(); ++column) {
        bool filled = false;
        for (int row = 0; row < preview->model->rowCount(); ++row)
            filled |= !preview->model->cell(row, column).empty();
        EXPECT_TRUE(filled) << "column " << column;
    }
}

}  // namespace
}  // namespace tabulon::test
