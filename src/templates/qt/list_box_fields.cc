#include "templates/qt/list_box_fields.h"

#include <QListWidget>

namespace tabulon {
namespace {

constexpr int kBytesRole = Qt::UserRole;

QString displayed(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    return text.toUtf8() == bytes ? text : QString::fromLatin1(bytes);
}

QListWidgetItem* makeRow(const QByteArray& bytes) {
    auto* row = new QListWidgetItem(displayed(bytes));
    row->setData(kBytesRole, bytes);
    return row;
}

}  // namespace

void setListBoxFields(QListWidget* list, const FieldList& fields) {
    list->clear();
    for (const std::string& name : fields)
        list->addItem(makeRow(QByteArray::fromStdString(name)));
}

FieldList listBoxFields(const QListWidget* list) {
    FieldList fields;
    fields.reserve(static_cast<size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) {
        fields.push_back(list->item(i)->data(kBytesRole).toByteArray().toStdString());
    }
    return fields;
}

QListWidgetItem* addRow(QListWidget* list, const QString& text) {
    QListWidgetItem* row = makeRow(text.toUtf8());
    list->addItem(row);
    return row;
}

void setRowText(QListWidgetItem* row, const QString& text) {
    row->setText(text);
    row->setData(kBytesRole, text.toUtf8());
}

int selectedRow(const QListWidget* list) {
    QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.constFirst());
}

}  // namespace tabulon
