// Save As Spreadsheet through Qt's own save dialog, driven by keys as a person
// would: the name, the type chosen and the file written always agree, and
// "replace?" is asked about the file that will really be written.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "platform/qt/dialogs.h"
#include "platform/qt/qt_dialogs.h"
#include "preview/preview_fixture.h"
#include "preview/save_choice.h"
#include "preview/spreadsheet_settings.h"

namespace tabulon::test {
namespace {

// Once a modal `T` is up, runs `act` on it (from the event loop of whatever
// waits meanwhile).
template <typename T>
void whenShown(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* shown = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(shown);
        }
    });
    timer->start();
}

QLineEdit* nameField(QFileDialog* dialog) {
    return dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QComboBox* typeList(QFileDialog* dialog) {
    return dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

class SaveDialogTest : public FormMailTest {
  protected:
    void SetUp() override {
        FormMailTest::SetUp();
        setDialogs(std::make_unique<QtDialogs>());
        preview = openPreview("form.mbox");
    }
    // Saves through the dialog that `act` drives; true when a file was written.
    bool save(std::function<void(QFileDialog*)> act) {
        whenShown<QFileDialog>(std::move(act));
        return saveAndWait(preview);
    }
    void type(QFileDialog* dialog, const QString& name) {
        // Into the name field with the focus, as a person types: Qt's dialog
        // keeps a stale choice in its list otherwise.
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        retype(nameField(dialog), name);
    }

    PreviewWindow* preview = nullptr;
};

// "victim" typed with the workbook type writes victim.xlsx: the question is
// about that file, and No leaves it as it was.
TEST_F(SaveDialogTest, AsksAboutTheFileThatWouldBeReplaced) {
    writeFile(dir.file("victim.xlsx"), "older");
    QString asked;
    bool saved = save([&](QFileDialog* dialog) {
        type(dialog, QStringLiteral("victim"));
        whenShown<QMessageBox>([&, dialog](QMessageBox* question) {
            asked = question->text();
            question->button(QMessageBox::No)->click();
            QTimer::singleShot(0, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
        });
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(asked.toStdString(),
              "\u201cvictim.xlsx\u201d already exists.\nDo you want to replace it?");
    EXPECT_EQ(readFile(dir.file("victim.xlsx")), "older");

    // A table that is added to is not replaced: nothing is asked about it.
    FileTypes addedTo;
    addedTo.filters << QStringLiteral("All files (*)");
    addedTo.written = [](const QString& path, const QString&) { return path; };
    addedTo.addedTo = true;
    asked.clear();
    QTimer answerNo;  // a question, if one came, answered No and the dialog left
    QObject::connect(&answerNo, &QTimer::timeout, [&] {
        if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = question->text();
            question->button(QMessageBox::No)->click();
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    answerNo.start(10);
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        type(dialog, QStringLiteral("victim.xlsx"));
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
    });
    QString filter;
    QString chosen =
        dialogs().saveFileWithTypes(preview, QStringLiteral("victim.xlsx"),
                                    QString::fromStdString(dir.path()), addedTo, &filter);
    EXPECT_EQ(chosen.toStdString(), dir.file("victim.xlsx"));
    EXPECT_TRUE(asked.isEmpty()) << asked.toStdString();
}

// The folder dialog (the Templates folder's Choose) and the plain save dialog
// give what was typed, and nothing when cancelled.
TEST_F(SaveDialogTest, FolderOpenAndSaveDialogsGiveWhatWasChosen) {
    std::filesystem::create_directory(dir.file("Forms"));
    whenShown<QFileDialog>([](QFileDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_TRUE(dialogs().chooseFolder(preview, QStringLiteral("Choose")).isEmpty());
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        type(dialog, QString::fromStdString(dir.file("Forms")));
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
    });
    EXPECT_EQ(dialogs().chooseFolder(preview, QStringLiteral("Choose")).toStdString(),
              dir.file("Forms"));
    // The plain save dialog: a conversion's output, its name proposed.
    QString folder = QString::fromStdString(dir.path());
    whenShown<QFileDialog>([](QFileDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_TRUE(dialogs().saveFile(preview, QStringLiteral("out.txt"), folder).isEmpty());
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        type(dialog, QStringLiteral("out.txt"));
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
    });
    EXPECT_EQ(dialogs().saveFile(preview, QStringLiteral("out.txt"), folder).toStdString(),
              dir.file("out.txt"));
    // The open dialog: the file chosen, none when cancelled.
    whenShown<QFileDialog>([](QFileDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_TRUE(dialogs().openFiles(preview).isEmpty());
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        type(dialog, QString::fromStdString(dir.file("form.mbox")));
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
    });
    EXPECT_EQ(dialogs().openFiles(preview),
              QStringList{QString::fromStdString(dir.file("form.mbox"))});
}

// Choosing a type in the list renames the file; typing a known extension
// chooses its type; the next save proposes the input's name in the format
// last written, with that type chosen.
TEST_F(SaveDialogTest, NameTypeAndFileAgree) {
    std::vector<std::string> names;
    auto shown = [&](QFileDialog* dialog) {
        names.push_back(nameField(dialog)->text().toStdString());
    };
    ASSERT_TRUE(save([&](QFileDialog* dialog) {
        shown(dialog);
        for (int type = 0; type < typeList(dialog)->count(); ++type)  // named, no patterns
            EXPECT_FALSE(typeList(dialog)->itemText(type).contains(QLatin1Char('*')));
        QTest::keyClick(typeList(dialog), Qt::Key_End);  // tab
        shown(dialog);
        QTest::keyClick(typeList(dialog), Qt::Key_Up);  // tsv
        shown(dialog);
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
    }));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.file("form.mbox Converted.tsv"))));
    ASSERT_TRUE(save([&](QFileDialog* dialog) {
        shown(dialog);
        names.push_back(typeList(dialog)->currentText().toStdString());
        type(dialog, QStringLiteral("typed.csv"));
        names.push_back(typeList(dialog)->currentText().toStdString());
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
    }));
    EXPECT_EQ(names, (Lines{"form.mbox Converted.xlsx", "form.mbox Converted",
                            "form.mbox Converted.tsv", "form.mbox Converted.tsv",
                            "TSV, UTF-8; a spreadsheet may drop leading zeros, make dates",
                            "CSV, UTF-8; a spreadsheet may drop leading zeros, make dates"}));
    EXPECT_EQ(readSpreadsheetSettings(spreadsheetSettingsPath()).format, TableFormat::kCsv);
    EXPECT_EQ(readFile(dir.file("typed.csv")).substr(0, 3), "\xEF\xBB\xBF");
}

// A name too long for the file system greys Save, and the dialog says why.
TEST_F(SaveDialogTest, SaysWhyANameIsTooLong) {
    std::vector<bool> visible;
    save([&](QFileDialog* dialog) {
        auto* hint = dialog->findChild<QLabel*>(QStringLiteral("NameTooLong"));
        visible.push_back(hint->isVisible());
        type(dialog, QString(252, QLatin1Char('n')));  // 257 bytes with ".xlsx"
        visible.push_back(hint->isVisible());
        EXPECT_NE(hint->text().indexOf(QStringLiteral("too long")), -1);
        for (int bytes = 256; bytes >= 255; --bytes) {  // a byte shorter each time
            QTest::keyClick(nameField(dialog), Qt::Key_Backspace);
            visible.push_back(hint->isVisible());
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(visible, (std::vector<bool>{false, true, true, false}));
}

}  // namespace
}  // namespace tabulon::test
