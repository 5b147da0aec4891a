// The Templates folder: problems with the first-start copy, and saving an edited
// list into the template being left when another template or folder is chosen.
#include <unistd.h>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

#include "app/main_window_fixture.h"

namespace tabulon::test {
namespace {

using TemplatesFolderTest = MainWindowTest;
TEST_F(TemplatesFolderTest, CopyProblemsAreReportedNotAnnounced) {
    ::setenv("XDG_DATA_HOME", dir.file("missing/parents").c_str(), 1);  // created as needed
    ASSERT_EQ(::symlink("nowhere", (appTemplates() + "Broken").c_str()), 0);
    Window1& w = open();
    std::string destination = dir.file("missing/parents/Tabulon/");
    EXPECT_EQ(readFile(destination + "Templates/Orders"), "Item:\rCount:\r");
    // A path too long for Preferences' line keeps its end in view.
    EXPECT_TRUE(w.myTemplateLoc->text().endsWith(QStringLiteral("/Templates/")));
    EXPECT_EQ(w.myTemplateLoc->toolTip().toStdString(), destination + "Templates/");
    EXPECT_EQ(dialogLog(), (Lines{"message Some templates could not be copied to " + destination +
                                  ": Broken (No such file or directory)"}));
}

TEST_F(TemplatesFolderTest, ChoosingATemplateSavesTheOneLeft) {
    Window1& w = openAfterFirstStart();
    w.FieldInsertButton->click();
    w.PopupMenu1->setCurrentIndex(1);  // "Orders"
    EXPECT_EQ(readFile(appTemplates() + "Field Names"), "Name:\rEmail:\rNew Row\r");
    EXPECT_EQ(rows(), (Lines{"Item:", "Count:"}));
    EXPECT_FALSE(w.updatedfields);
    EXPECT_EQ(w.myfullname.toStdString(), ":Templates:Orders");
}

TEST_F(TemplatesFolderTest, ChoosingAFolderSavesIntoTheOldFolder) {
    std::filesystem::create_directories(dir.file("other"));
    writeFile(dir.file("other/Field Names"), "Other:\r");
    Window1& w = openAfterFirstStart();
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
