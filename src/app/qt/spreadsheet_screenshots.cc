#include "app/qt/spreadsheet_screenshots.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/qt/screenshot_file.h"
#include "app/qt/window1.h"
#include "platform/qt/keyring.h"
#include "platform/qt/qt_paths.h"
#include "preview/qt/mailbox_dialog.h"
#include "preview/qt/new_template_dialog.h"
#include "preview/qt/preview_window.h"
#include "preview/save_choice.h"
#include "preview/table_export.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon {
namespace {

// The rows a workbook holds, read back by openpyxl.
QJsonArray workbookRows(const QString& tools, const QString& workbook) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {tools + QStringLiteral("/xlsx_cells.py"), workbook, QStringLiteral("8")});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        std::fprintf(stderr, "could not read %s back: %s\n", qPrintable(workbook),
                     python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

// The cells as a spreadsheet shows them: lettered columns, numbered rows.
bool saveWorkbookPicture(const QJsonArray& rows, const QString& file) {
    if (rows.isEmpty()) return false;
    int columns = 0;
    for (const QJsonValue& row : rows)
        columns = std::max(columns, static_cast<int>(row.toArray().size()));
    QTableWidget sheet(static_cast<int>(rows.size()), columns);
    QStringList letters;
    for (int column = 0; column < columns; ++column)
        letters << QString(QChar('A' + column));
    sheet.setHorizontalHeaderLabels(letters);
    for (int row = 0; row < rows.size(); ++row) {
        QJsonArray cells = rows[row].toArray();
        for (int column = 0; column < cells.size(); ++column) {
            auto* item =
                new QTableWidgetItem(cells[column].toString().replace('\n', QChar(0x21b5)));
            if (row == 0) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            sheet.setItem(row, column, item);
        }
    }
    sheet.setWindowTitle(QStringLiteral("Saved workbook"));
    sheet.resizeColumnsToContents();
    for (int column = 0; column < columns; ++column)
        sheet.setColumnWidth(column, std::min(sheet.columnWidth(column), 260));
    int width = sheet.verticalHeader()->width() + 4;
    for (int column = 0; column < columns; ++column)
        width += sheet.columnWidth(column);
    int height = sheet.horizontalHeader()->height() + 4;
    for (int row = 0; row < sheet.rowCount(); ++row)
        height += sheet.rowHeight(row);
    sheet.resize(width, height);
    sheet.show();
    return saveScreenshot(&sheet, file);
}

// A keyring that keeps nothing: the picture does not depend on this machine's.
class EmptyKeyring : public Keyring {
  public:
    void read(const QString&, ReadFn done) override { done(QString(), QString()); }
    void write(const QString&, const QString&, DoneFn done) override { done(QString()); }
    void remove(const QString&, DoneFn done) override { done(QString()); }
};

bool renderMailboxDialog(Window1& window, const QDir& out) {
    setKeyring(std::make_unique<EmptyKeyring>());
    MailboxSettings entries;
    entries.server = "mail.example.com";
    entries.user = "orders@example.com";
    entries.subject = "New order";
    entries.since = "2026-11-01";
    MailboxDialog dialog(&window, &window, entries, QStringLiteral("password"), true);
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.show();
    dialog.ReadButton->setFocus();
    bool ok = saveScreenshot(&dialog, out.filePath(QStringLiteral("mailbox-dialog.png")));
    dialog.hide();
    setKeyring(nullptr);
    return ok;
}

}  // namespace

bool renderSpreadsheetPictures(Window1& window, const QDir& out, const QString& sourceDir) {
    QString samples = sourceDir + QStringLiteral("/tests/mail/samples/");
    QStringList inputs = {samples + QStringLiteral("php-mail-form.mbox"),
                          samples + QStringLiteral("quoted-printable-german.mbox")};
    FieldList fields = {"Name:", "Email:", "Phone:", "Comments:"};
    setListBoxFields(window.ListBox1, fields);
    bool ok = true;

    auto* preview = new PreviewWindow(&window, &window, inputs);
    preview->HeaderDate->setChecked(true);
    preview->resize(860, 420);
    preview->show();
    for (int i = 0; i < 60000 && preview->isReading(); ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ok &= saveScreenshot(preview, out.filePath(QStringLiteral("spreadsheet-preview.png")));
    // At its narrowest, with the template short of two fields: the labels wrap.
    setListBoxFields(window.ListBox1, {"Name:", "Email:"});
    for (int i = 0; i < 60000 && preview->isReading(); ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    preview->resize(preview->minimumSizeHint());
    QApplication::processEvents();
    ok &= saveScreenshot(preview, out.filePath(QStringLiteral("spreadsheet-preview-narrow.png")));
    setListBoxFields(window.ListBox1, fields);

    // The workbook Save writes, read back from the file.
    QString workbook = QDir::temp().filePath(QStringLiteral("tabulon-screenshot.xlsx"));
    ExportRequest request;
    for (const QString& input : inputs)
        request.inputs.push_back(nativePath(input));
    request.options.fields = fields;
    request.options.headers = {"Date"};
    request.format = TableFormat::kXlsx;
    request.output = nativePath(workbook);
    Status status = exportTable(request);
    if (!status.ok()) {
        std::fprintf(stderr, "%s\n", status.message().c_str());
        ok = false;
    } else {
        ok &= saveWorkbookPicture(workbookRows(sourceDir + QStringLiteral("/tools"), workbook),
                                  out.filePath(QStringLiteral("saved-workbook.png")));
    }
    QFile::remove(workbook);
    preview->close();

    FieldList proposed = {"Name:", "Email:", "Phone:", "Comments:"};
    NewTemplateDialog dialog(&window, &window, proposed, QStringLiteral("php-mail-form"));
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.FieldChoices->item(2)->setCheckState(Qt::Unchecked);
    dialog.FieldChoices->setCurrentRow(1);
    dialog.show();
    ok &= saveScreenshot(&dialog, out.filePath(QStringLiteral("new-template-dialog.png")));
    dialog.hide();
    return renderMailboxDialog(window, out) && ok;
}

}  // namespace tabulon
