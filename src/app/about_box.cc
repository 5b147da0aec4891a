#include "app/about_box.h"

#include <QPushButton>

namespace tabulon {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Dialog1"));
    setWindowTitle(QStringLiteral("About Tabulon"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(379, 234);
    PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setGeometry(164, 204, 60, 20);
    PushButton1->setDefault(true);
    connect(PushButton1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tabulon
