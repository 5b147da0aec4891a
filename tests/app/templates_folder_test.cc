// The Templates folder: the first-start copy, the popup, and saving an edited
// list into the template being left when another template or folder is chosen.
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "app/main_window_fixture.h"

namespace tabulon::test {
namespace {

using TemplatesFolderTest = MainWindowTest;
using Lines = std::vector<std::string>;

std::vector<std::string> popupRows(const Window1& w) {
    std::vector<std::string> rows;
    for (int i = 0; i < w.PopupMenu1->count(); ++i) {
        rows.push_back(w.PopupMenu1->itemText(i).toStdString());
    }
    return rows;
}

TEST_F(TemplatesFolderTest, FirstStartCopiesTheFolderOnce) {
    std::filesystem::create_directories(appTemplates() + "More");
    writeFile(appTemplates() + "More/Extra", "X:\r");
    Window1& w = open();
    EXPECT_EQ(readFile(copiedTemplates() + "Field Names"), "Name:\rEmail:\r");
    EXPECT_EQ(readFile(copiedTemplates() + "More/Extra"), "X:\r");
    EXPECT_EQ(dialogLog(),
              (Lines{"message The Templates directory was moved to " + copiedTemplates(),
                     "message The Templates directory was moved to " + dir.file("data/Tabulon/")}));
    EXPECT_EQ(w.myfilepath.toStdString(), copiedTemplates());
    EXPECT_EQ(popupRows(w), (Lines{"Field Names", "More", "Orders"}));
    EXPECT_EQ(w.PopupMenu1->currentIndex(), 0);
    quit();

    writeFile(dir.file("script.log"), "");
    Window1& again = open();  // second start: nothing copied, nothing said
    EXPECT_TRUE(dialogLog().empty());
    EXPECT_EQ(again.myfilepath.toStdString(), copiedTemplates());
}

TEST_F(TemplatesFolderTest, CopyProblemsAreReportedNotAnnounced) {
    ::setenv("XDG_DATA_HOME", dir.file("missing/parents").c_str(), 1);  // created as needed
    ASSERT_EQ(::symlink("nowhere", (appTemplates() + "Broken").c_str()), 0);
    open();
    std::string destination = dir.file("missing/parents/Tabulon/");
    EXPECT_EQ(readFile(destination + "Templates/Orders"), "Item:\rCount:\r");
    EXPECT_EQ(dialogLog(),
              (Lines{"message Some templates could not be copied to " + destination + ": Broken"}));
}

TEST_F(TemplatesFolderTest, PopupListsTemplatesInNameOrderIgnoringCase) {
    skipFirstStartCopy();
    writeFile(appTemplates() + ".DS_Store", "");
    writeFile(appTemplates() + ".ds_STORE", "");
    writeFile(appTemplates() + "addresses", "A:\r");
    std::filesystem::rename(appTemplates() + "Field Names", appTemplates() + "field names");
    Window1& w = open();
    EXPECT_EQ(popupRows(w), (Lines{"addresses", "field names", "Orders"}));
    EXPECT_EQ(w.PopupMenu1->currentIndex(), 1);
    EXPECT_EQ(w.myfilename.toStdString(), "field names");  // the file's own case
    EXPECT_FALSE(w.PopupMenu1->isEnabled());
    w.CheckBox3->click();
    EXPECT_TRUE(w.PopupMenu1->isEnabled());
}

TEST_F(TemplatesFolderTest, ChoosingATemplateSavesTheOneLeft) {
    skipFirstStartCopy();
    Window1& w = open();
    w.FieldInsertButton->click();
    w.PopupMenu1->setCurrentIndex(1);  // "Orders"
    EXPECT_EQ(readFile(appTemplates() + "Field Names"), "Name:\rEmail:\rNew Row\r");
    EXPECT_EQ(rows(), (Lines{"Item:", "Count:"}));
    EXPECT_FALSE(w.updatedfields);
    EXPECT_EQ(w.myfullname.toStdString(), ":Templates:Orders");
}

TEST_F(TemplatesFolderTest, ChoosingAFolderSavesIntoTheOldFolder) {
    skipFirstStartCopy();
    std::filesystem::create_directories(dir.file("other"));
    writeFile(dir.file("other/Field Names"), "Other:\r");
    Window1& w = open();
    w.FieldInsertButton->click();
    answerDialogs({dir.file("other")});
    w.BevelButton1->click();
    EXPECT_EQ(dialogLog(), (Lines{"folder"}));
    EXPECT_EQ(readFile(appTemplates() + "Field Names"), "Name:\rEmail:\rNew Row\r");
    EXPECT_EQ(readFile(dir.file("other/Field Names")), "Other:\r");
    EXPECT_EQ(rows(), (Lines{"Other:"}));
    EXPECT_EQ(w.myfilepath.toStdString(), dir.file("other/"));

    answerDialogs({""});  // cancelling the folder chooser changes nothing
    w.BevelButton1->click();
    EXPECT_EQ(w.myfilepath.toStdString(), dir.file("other/"));
}

}  // namespace
}  // namespace tabulon::test
