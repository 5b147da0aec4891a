// The spreadsheet preview through the real windows with scripted dialogs.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "app/main_window_fixture.h"
#include "preview/preview_samples.h"
#include "preview/qt/new_template_dialog.h"
#include "preview/qt/preview_model.h"
#include "preview/qt/preview_window.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon::test {
namespace {

class PreviewWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        skipFirstStartCopy();
        writeFile(dir.file("form.mbox"), kFormMail);
        open();
        setListBoxFields(window->ListBox1, kFormFields);
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

// File > Convert to Spreadsheet with the mail chosen, read to the end.
TEST_F(PreviewWindowTest, ShowsOneRowPerMessageWithMissingCellsMarked) {
    answerDialogs({dir.file("form.mbox")});
    EXPECT_TRUE(window->handleMenuItem(QStringLiteral("FileConvertToSpreadsheet")));
    auto* preview = window->findChild<PreviewWindow*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
    QApplication::processEvents();
    EXPECT_EQ(dialogLog(), (std::vector<std::string>{"open"}));
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

}  // namespace
}  // namespace tabulon::test
