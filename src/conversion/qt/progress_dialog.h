// The "Please Wait..." dialog, which carries one conversion run: it gets the input
// (handed over, or chosen in the open dialog), asks where the output goes unless
// told to put it beside the input, and shows the progress while the conversion
// runs on a thread of its own. Its event loop keeps every window painted; the
// run is over when Event_Open returns.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "platform/file_source.h"
#include "templates/field_list.h"

#include "templates/field_list.h"

class QLabel;
class QProgressBar;

namespace tabulon {

class BackgroundConversion;

class Dialog2 : public QDialog {
    Q_OBJECT
  public:
    // `main`: the window the run's dialogs belong to. `input` empty: ask for it.
    // `askForSave` false: the output goes beside the input as "<input> Converted".
    // `fields` gives the field list when the conversion begins, once the input and
    // the output are known; none gives an empty list.
    Dialog2(QWidget* main, QString input, bool askForSave, std::function<FieldList()> fields = {});

    // Messages about the run go to `sink` instead of a message box: a run asked
    // for by a script shows nothing that waits for a person.
    void reportMessagesTo(std::function<void(const QString&)> sink) { sink_ = std::move(sink); }
    // Runs the whole conversion run.
    void Event_Open();
    // Converts `input`; false when no output place was obtained.
    bool readdatafile(const QString& input);
    // Ends the run now (the app is quitting): a conversion under way stops and
    // leaves no output, and none starts.
    void stop();
    void ProgressBar1_Open() {}

    QLabel* StaticText1;
    QProgressBar* ProgressBar1;
    QLabel* StaticText2;

  private:
    // The steps of a run, in order. Each that fails says so (or, for the output,
    // returns empty when none was chosen).
    std::unique_ptr<FileSource> openInput(const QString& input);
    QString chooseOutput(const QString& input);
    void showProgress();
    // Converts, on a thread of its own when the input is not small, while this
    // dialog's loop moves the bar (shown once the run has lasted a moment).
    // Returns what to report: an error, or ok when it went well or was stopped.
    Status convertShowingProgress(std::unique_ptr<FileSource> source, const QString& input,
                                  const QString& output, FieldList fields);

    void message(const QString& text);

    QWidget* main_;
    QString input_;
    bool askForSave_;
    std::function<FieldList()> fields_;
    std::function<void(const QString&)> sink_;
    bool stopped_ = false;
    BackgroundConversion* conversion_ = nullptr;  // while one runs
};

}  // namespace tabulon
