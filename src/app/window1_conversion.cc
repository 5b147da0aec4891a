// Starting a conversion run from the main window: the input (handed over or
// chosen), then the output (chosen, or beside the input), then the conversion.
#include <QFileInfo>

#include "app/window1.h"
#include "conversion/file_conversion.h"
#include "platform/dialogs.h"
#include "platform/qt_paths.h"

namespace tabulon {

bool Window1::openprogress() {
    QString input = mydragfile;
    mydragfile.clear();
    if (input.isEmpty()) input = dialogs().openFile(this);
    if (input.isEmpty()) return false;
    QFileInfo info(input);
    QString output = askforsave
                         ? dialogs().saveFile(this, info.fileName() + QStringLiteral(" Converted"),
                                              info.absolutePath())
                         : input + QStringLiteral(" Converted");
    askforsave = true;
    if (output.isEmpty()) return false;
    FieldList names = fields();
    if (names.empty()) {
        dialogs().message(this, QStringLiteral("The Field Names file is missing!"));
        return false;
    }
    Status status = convertFile(nativePath(input), nativePath(output), names);
    if (!status.ok()) dialogs().message(this, QString::fromStdString(status.message()));
    return false;
}

}  // namespace tabulon
