// File > New Template from Mail through the real dialog, driven by keys: the
// fields proposed, reordered and unticked, the names refused, and Return
// saving the template and selecting it.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "platform/app_paths.h"
#include "preview/preview_fixture.h"
#include "preview/qt/new_template_dialog.h"

namespace tabulon::test {
namespace {

class NewTemplateDialogTest : public FormMailTest {
  protected:
    void SetUp() override {
        FormMailTest::SetUp();
        answerDialogs({dir.file("form.mbox")});
        window->handleMenuItem(QStringLiteral("FileNewTemplateFromMail"));
        ASSERT_TRUE(waitForEvents([&] { return window->findChild<NewTemplateDialog*>(); }));
        dialog = window->findChild<NewTemplateDialog*>();
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    Lines listed() const { return texts(dialog->FieldChoices); }

    QPointer<NewTemplateDialog> dialog;
};

// The labels most messages have, in their order; Ctrl+Down moves the current
// one and Space unticks it; Return in the name field saves the ticked names in
// that order and selects the new template.
TEST_F(NewTemplateDialogTest, ReturnSavesTheTickedFieldsInOrderAndSelectsThem) {
    EXPECT_EQ(listed(), (Lines{"Order:", "Name:", "Email:", "Phone:"}));
    dialog->FieldChoices->setFocus();
    QTest::keyClick(dialog->FieldChoices, Qt::Key_Down, Qt::ControlModifier);  // Order: below Name:
    QTest::keyClick(dialog->FieldChoices, Qt::Key_Space);                      // unticks Order:
    EXPECT_EQ(listed(), (Lines{"Name:", "Order:", "Email:", "Phone:"}));
    dialog->DownButton->click();  // the buttons move it as the keys do
    EXPECT_EQ(listed(), (Lines{"Name:", "Email:", "Order:", "Phone:"}));
    dialog->UpButton->click();
    EXPECT_EQ(listed(), (Lines{"Name:", "Order:", "Email:", "Phone:"}));
    retype(dialog->TemplateName, QStringLiteral("Contact"));
    QTest::keyClick(dialog->TemplateName, Qt::Key_Return);
    EXPECT_TRUE(waitForEvents([&] { return !dialog; }));
    EXPECT_EQ(window->PopupMenu1->currentText().toStdString(), "Contact");
    EXPECT_EQ(readFile(childPath(resolvePath(window->myfilepath.toStdString()), "Contact")),
              "Name:\rEmail:\rPhone:\r");
    EXPECT_EQ(window->fields(), (FieldList{"Name:", "Email:", "Phone:"}));
}

// Return never saves a refused name: nothing without a name (Save greyed, the
// order kept), a message otherwise, and the dialog stays open.
TEST_F(NewTemplateDialogTest, RefusedNamesKeepTheDialogOpen) {
    struct Case {
        const char* name;
        const char* message;  // "" when Save is greyed
    };
    const Case cases[] = {
        {"", ""},
        {".hidden", "cannot start with"},
        {"Field Names", "already holds"},
    };
    dialog->FieldChoices->setCurrentRow(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::remove(dir.file("script.log").c_str());
        retype(dialog->TemplateName, QString::fromUtf8(c.name));
        EXPECT_EQ(dialog->SaveButton->isEnabled(), *c.message != '\0');
        QTest::keyClick(dialog->TemplateName, Qt::Key_Return);
        QApplication::processEvents();
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(dialog->isVisible());
        Lines log = dialogLog();
        ASSERT_EQ(log.size(), *c.message ? 1u : 0u);
        if (*c.message) {
            EXPECT_NE(log[0].find(c.message), std::string::npos) << log[0];
        }
        EXPECT_EQ(listed(), (Lines{"Order:", "Name:", "Email:", "Phone:"}));
    }
}

// The mail is read on a thread of its own with its progress shown; Cancel, or a
// quit of the application, stops the reading, and nothing is proposed or said;
// left alone, it ends with the proposal.
using NewTemplateReadingTest = FormMailTest;

TEST_F(NewTemplateReadingTest, CancelOrAQuitStopsTheReading) {
    writeCopies("big.mbox", 20000);
    auto readStopping = [&](bool quit) {
        answerDialogs({dir.file("big.mbox")});
        bool stopped = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("ReadingProgress"));
            ASSERT_NE(progress, nullptr);
            if (quit)
                QCoreApplication::exit(0);  // no event loop runs after it
            else
                progress->findChild<QPushButton*>()->click();
            stopped = true;
        });
        window->handleMenuItem(QStringLiteral("FileNewTemplateFromMail"));
        EXPECT_TRUE(stopped);
        EXPECT_EQ(window->findChild<NewTemplateDialog*>(), nullptr) << quit;
    };
    readStopping(false);
    QApplication::processEvents();
    EXPECT_EQ(dialogLog(), (Lines{"open"}));
    // Not cancelled, the same mail is read to its end and its labels proposed.
    answerDialogs({dir.file("big.mbox")});
    window->handleMenuItem(QStringLiteral("FileNewTemplateFromMail"));
    EXPECT_TRUE(waitForEvents([&] { return window->findChild<NewTemplateDialog*>(); }));
    delete window->findChild<NewTemplateDialog*>();
    readStopping(true);
}

}  // namespace
}  // namespace tabulon::test
