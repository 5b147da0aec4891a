#include "app/qt/main_window_pages.h"

#include "platform/qt/fonts.h"
#include "platform/qt/maker.h"
#include "platform/qt/text_colours.h"

namespace tabulon {

const char kWelcomeText[] =
    "Tabulon is a program to convert mail received from web site forms into a tab delimited "
    "text file. Tabulon uses a format file call Field Names to match to your form.\r\rSee the "
    "Read me file for more information.\r\t\r1. Update the Field Names file prior to "
    "launching\r2. Open the file containing your mail\r3. Select the location to save your "
    "converted file";

const char kPrivacyNote[] =
    "To protect your privacy, we do not transmit any information when you use the 'Check for "
    "updates' option. We only retrieve the latest version number over the internet.";

namespace {

// Label text shows CR as a line break.
QString displayed(const char* text) {
    return QString::fromUtf8(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QLabel* multiLineLabel(const char* text) {
    auto* label = new QLabel(displayed(text));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(label, Qt::black);
    return label;
}

}  // namespace

WelcomePage::WelcomePage(QWidget* window) : WindowPage(window) {
    Canvas1 = place(new QWidget, "Canvas1", {113, 270, 148, 16}, font());
    Canvas1->setFocusPolicy(Qt::NoFocus);
    Canvas1->setCursor(Qt::PointingHandCursor);

    QFont linkFont = genevaFont(10);
    linkFont.setUnderline(true);
    StaticText1 = place(new QLabel(makerHost()), "StaticText1", {113, 269, 148, 16}, linkFont);
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setCursor(Qt::PointingHandCursor);
    setTextColour(StaticText1, kLinkFirstColour);

    StaticText2 =
        place(multiLineLabel(kWelcomeText), "StaticText2", {38, 66, 302, 135}, genevaFont(10));
}

FieldsPage::FieldsPage(QWidget* window) : WindowPage(window) {
    ListBox1 = place(new QListWidget, "ListBox1", {26, 48, 326, 211}, systemFont(12));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setAccessibleName(QStringLiteral("Field names"));
    auto button = [this](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QLatin1String(caption));
        // Clicking a button must not take the focus from the list: the list's
        // focus is what enables them. Tab reaches them from the list.
        b->setFocusPolicy(Qt::TabFocus);
        return place(b, name, {left, 270, 60, 20}, systemFont(12));
    };
    FieldDeleteButton = button("FieldDeleteButton", "Delete", 27);
    FieldDeleteButton->setEnabled(false);
    FieldInsertButton = button("FieldInsertButton", "Insert", 94);
    FieldDownButton = button("FieldDownButton", "Down", 161);
    FieldDownButton->setEnabled(false);
    FieldUpButton = button("FieldUpButton", "Up", 228);
    FieldUpButton->setEnabled(false);
}

PreferencesPage::PreferencesPage(QWidget* window) : WindowPage(window) {
    auto checkBox = [this](const char* name, const char* caption, int top, int height) {
        return place(new QCheckBox(QLatin1String(caption)), name, {34, top, 308, height},
                     genevaFont(10));
    };
    // Made in the order they stand, which a screen reader follows.
    CheckBox1 = checkBox("CheckBox1", "Check for updates on startup", 56, 22);
    CheckBox2 = checkBox("CheckBox2", "Open file dialog on startup", 77, 20);

    QFont bold = genevaFont(10);
    bold.setBold(true);
    GroupBox2 = place(new QGroupBox(QStringLiteral("Note")), "GroupBox2", {27, 210, 325, 80}, bold);
    // The title sits in the frame's top edge, leaving the note its whole height.
    GroupBox2->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"));
    StaticText3 =
        place(multiLineLabel(kPrivacyNote), "StaticText3", {38, 226, 302, 58}, genevaFont(10));

    CheckBox3 = checkBox("CheckBox3", "Allow Multiple Field Name Files...", 97, 20);
    PopupMenu1 = place(new QComboBox, "PopupMenu1", {93, 120, 194, 20}, systemFont(12));
    PopupMenu1->setAccessibleName(QStringLiteral("Field Names file"));
    myTemplateLoc = place(new QLabel(QStringLiteral("Label:")), "myTemplateLoc", {20, 181, 341, 20},
                          genevaFont(10));
    myTemplateLoc->setAlignment(Qt::AlignCenter);
    setTextColour(myTemplateLoc, Qt::black);
    BevelButton1 = place(new QPushButton(QStringLiteral("Choose Template Folder")), "BevelButton1",
                         {102, 155, 176, 22}, systemFont(12));
    // Tab goes down the page as the controls stand.
    setTabOrder(CheckBox1, CheckBox2);
    setTabOrder(CheckBox2, CheckBox3);
    setTabOrder(CheckBox3, PopupMenu1);
    setTabOrder(PopupMenu1, BevelButton1);
}

}  // namespace tabulon
