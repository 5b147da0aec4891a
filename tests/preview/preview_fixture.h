// A main window with the sample form mail in its scratch folder and the
// sample's template chosen, and the steps the preview tests share: opening a
// preview, what it shows, and saving from it.
#pragma once

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <string>

#include "app/main_window_fixture.h"
#include "preview/preview_samples.h"
#include "preview/qt/preview_model.h"
#include "preview/qt/preview_window.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon::test {

class FormMailTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        writeFile(dir.file("form.mbox"), kFormMail);
        openAfterFirstStart();
        setListBoxFields(window->ListBox1, kFormFields);
    }
    // `copies` copies of the sample as `name`: mail big enough that reading or
    // saving it is still under way when the test acts.
    void writeCopies(const std::string& name, int copies) {
        std::string mail;
        for (int i = 0; i < copies; ++i)
            mail += kFormMail + std::string("\n");
        writeFile(dir.file(name), mail);
    }
    // Types `text` into `field` in place of what it holds, as a person does.
    static void retype(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
    // The cells `preview` shows, row by row.
    static std::vector<TableRow> shown(const PreviewWindow* preview) {
        std::vector<TableRow> rows(preview->model->rowCount());
        for (int row = 0; row < preview->model->rowCount(); ++row) {
            for (int column = 0; column < preview->model->columnCount(); ++column)
                rows[row].push_back(preview->model->cell(row, column));
        }
        return rows;
    }
    // A preview of the scratch folder's `input`, read to the end; its model is
    // checked against Qt's rules for models all along.
    PreviewWindow* openPreview(const std::string& input) {
        auto* preview = new PreviewWindow(window.get(), window.get(),
                                          {QString::fromStdString(dir.file(input))});
        new QAbstractItemModelTester(
            preview->model, QAbstractItemModelTester::FailureReportingMode::Fatal, preview);
        EXPECT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
        return preview;
    }
    // File > Convert to Spreadsheet with `input` chosen, read to the end.
    PreviewWindow* convertFromMenu(const std::string& input) {
        answerDialogs({dir.file(input)});
        EXPECT_TRUE(window->handleMenuItem(QStringLiteral("FileConvertToSpreadsheet")));
        auto* preview = window->findChild<PreviewWindow*>();
        if (preview == nullptr) return nullptr;
        EXPECT_TRUE(waitForEvents([&] { return !preview->isReading(); }));
        QApplication::processEvents();
        return preview;
    }
    // Saves from `preview` with whatever answers its dialog and waits for the
    // end; true when a file was written.
    static bool saveAndWait(PreviewWindow* preview) {
        QSignalSpy finished(preview, &PreviewWindow::saveFinished);
        if (!preview->save()) return false;
        EXPECT_TRUE(waitForEvents([&] { return !finished.isEmpty(); }));
        return !finished.isEmpty() && finished.first().first().toBool();
    }
};

}  // namespace tabulon::test
