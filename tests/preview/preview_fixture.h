// A main window with the sample form mail in its scratch folder, and the steps
// the preview tests share: opening a preview and saving from it.
#pragma once

#include <QApplication>
#include <QSignalSpy>
#include <string>

#include "app/main_window_fixture.h"
#include "preview/preview_samples.h"
#include "preview/qt/preview_window.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon::test {

class FormMailTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        skipFirstStartCopy();
        writeFile(dir.file("form.mbox"), kFormMail);
        open();
    }
    void useFormFields() { setListBoxFields(window->ListBox1, kFormFields); }
    // A preview of the scratch folder's `input`, read to the end.
    PreviewWindow* openPreview(const std::string& input) {
        auto* preview = new PreviewWindow(window.get(), window.get(),
                                          {QString::fromStdString(dir.file(input))});
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
