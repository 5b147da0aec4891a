// The spreadsheet preview through the real windows with scripted dialogs.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

#include "preview/preview_fixture.h"
#include "preview/qt/new_template_dialog.h"

namespace tabulon::test {
namespace {

using PreviewWindowTest = FormMailTest;

// File > Convert to Spreadsheet with the mail chosen, read to the end.
TEST_F(PreviewWindowTest, ShowsOneRowPerMessageWithMissingCellsMarked) {
    auto* preview = convertFromMenu("form.mbox");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(dialogLog(), (Lines{"open"}));
    EXPECT_EQ(shown(preview), kFormRows);
    EXPECT_EQ(preview->PreviewTable->model(), preview->model);
    EXPECT_EQ(preview->model->titles(), (QStringList{"Name", "Email", "Phone"}));
    QModelIndex missing = preview->model->index(1, 2);
    EXPECT_EQ(missing.data().toString().toStdString(), "missing");
    EXPECT_TRUE(missing.data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(preview->model->index(0, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(preview->StatusText->text().toStdString(), "3 messages");
    EXPECT_EQ(preview->MissingText->text().toStdString(),
              "Missing: Phone in 1 message; there but empty: Email in 1 message");
    ASSERT_EQ(preview->LabelList->count(), 1);
    EXPECT_EQ(preview->LabelList->item(0)->data(Qt::UserRole).toString().toStdString(), "Order:");
    // Menu items the preview has no handler for go to the main window.
    EXPECT_TRUE(preview->handleMenuItem(QStringLiteral("EditPreferences")));
    EXPECT_EQ(window->TabPanel1->currentIndex(), 2);
}

// Messages that give no row are counted beside the rows.
TEST_F(PreviewWindowTest, SaysHowManyMessagesWereSkipped) {
    writeFile(dir.file("deleted.mbox"),
              std::string(kFormMail) +
                  "\nFrom forms@shop.example  Tue Dec  1 09:00:00 2026\n"
                  "X-Mozilla-Status: 0009\nFrom: Web Form <forms@shop.example>\n\nName: Gone\n");
    auto* preview = convertFromMenu("deleted.mbox");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(shown(preview), kFormRows);
    EXPECT_EQ(preview->StatusText->text().toStdString(),
              "3 messages (1 more skipped: replies, marked deleted or too large)");
    // No message at all: nothing can be missing from one, so nothing is said.
    writeFile(dir.file("none.mbox"), "\n");
    delete preview;
    preview = convertFromMenu("none.mbox");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->MissingText->text().toStdString(), "");
    EXPECT_EQ(preview->StatusText->text().toStdString(), "0 messages");
    writeFile(dir.file("one.eml"), "From: Web Form <forms@shop.example>\n\nName: Ann\n");
    delete preview;
    preview = convertFromMenu("one.eml");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->StatusText->text().toStdString(), "1 message");
}

// However many labels the mail holds, and however long its status, the window fits a 1,024-pixel
// screen; a label is shown as written ("&" too), and clicking it adds it to the field list as an
// edit there would (kept at quit).
TEST_F(PreviewWindowTest, ManyLabelsFitASmallScreenAndOneClickAddsOne) {
    std::string mail;
    for (int message = 0; message < 3; ++message) {
        mail += "From forms@shop.example  Mon Nov 30 09:14:02 2026\nSubject: x\n\nName: A\n";
        for (int label = 0; label < 24; ++label)
            mail += "Terms & Conditions " + std::to_string(100 + label) + ": yes\n";
        mail += "\n";
    }
    writeFile(dir.file("wide.mbox"), mail);
    auto* preview = openPreview("wide.mbox");
    preview->show();
    QApplication::processEvents();
    EXPECT_LE(preview->minimumSizeHint().width(), 1024);
    EXPECT_LE(preview->minimumSizeHint().height(), 700);
    // So does a long status (a server's refusal), which wraps.
    preview->StatusText->setText(
        QString(40, QLatin1Char(' '))
            .replace(QLatin1Char(' '), QStringLiteral("certificate problem ")));
    QApplication::processEvents();
    EXPECT_LE(preview->minimumSizeHint().width(), 1024);
    ASSERT_EQ(preview->LabelList->count(), 24);
    QListWidgetItem* first = preview->LabelList->item(0);
    EXPECT_EQ(first->text().toStdString(), "Add \u201cTerms & Conditions 100:\u201d");
    window->updatedfields = false;
    emit preview->LabelList->itemClicked(first);
    EXPECT_EQ(window->fields().back(), "Terms & Conditions 100:");
    EXPECT_TRUE(window->updatedfields);
}

}  // namespace
}  // namespace tabulon::test
