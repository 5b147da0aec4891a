#include "templates/qt/edit_field_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "platform/qt/placed_control.h"
#include "templates/qt/list_box_fields.h"

namespace tabulon {

Dialog5::Dialog5(QListWidget* list, QWidget* parent) : QDialog(parent), list_(list) {
    setObjectName(QStringLiteral("Dialog5"));
    setWindowTitle(QStringLiteral("Edit Field"));
    setWhatsThis(QStringLiteral("Edit the search field."));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setFixedSize(318, 105);
    StaticText1 = placed(new QLabel(QStringLiteral("Enter the new value for this field:")),
                         "StaticText1", this, QRect(13, 13, 291, 16));
    EditField1 = placed(new QLineEdit, "EditField1", this, QRect(13, 37, 291, 22));
    PushButton2 = placed(new QPushButton(QStringLiteral("Cancel")), "PushButton2", this,
                         QRect(175, 74, 60, 20));
    PushButton1 = placed(new QPushButton(QStringLiteral("Update")), "PushButton1", this,
                         QRect(244, 74, 60, 20));
    PushButton1->setDefault(true);
    connect(PushButton1, &QPushButton::clicked, this, &Dialog5::PushButton1_Action);
    connect(PushButton2, &QPushButton::clicked, this, &Dialog5::PushButton2_Action);
    Event_Open();
}

void Dialog5::Event_Open() {
    int row = selectedRow(list_);
    EditField1->setText(row >= 0 ? list_->item(row)->text() : QString());
    EditField1->selectAll();
}

void Dialog5::PushButton1_Action() {
    int row = selectedRow(list_);
    if (row >= 0) setRowText(list_->item(row), EditField1->text());
    accept();
}

void Dialog5::PushButton2_Action() {
    reject();
}

}  // namespace tabulon
