#include "app/qt/about_box.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

#include "app/qt/embedded_resources.h"
#include "platform/qt/accessible_role.h"
#include "platform/qt/fonts.h"
#include "platform/qt/links.h"
#include "platform/qt/maker.h"
#include "platform/qt/placed_control.h"
#include "platform/qt/text_colours.h"
#include "platform/qt/window_page.h"

namespace tabulon {
namespace {

const char kDescription[] =
    "Tabulon is a program to convert mail received from web site forms into a tab delimited text "
    "file. Tabulon uses a format file call Field Names to match to your form.";

QLabel* link(const QString& text, const char* name, QWidget* canvas, QRect rect) {
    auto* label = placed(new QLabel(text), name, canvas, rect, genevaFont(10));
    label->setCursor(Qt::PointingHandCursor);
    setTextColour(label, kLinkColour);
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent, QString version)
    : QDialog(parent), version_(std::move(version)) {
    setObjectName(QStringLiteral("Dialog1"));
    setWindowTitle(QStringLiteral("About Tabulon"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setFixedSize(379, 234);

    TabPanel1 = placed(new QTabWidget, "TabPanel1", this, {11, 14, 357, 179});
    auto* about = new WindowPage(this);
    auto* contact = new WindowPage(this);
    TabPanel1->addTab(about, QStringLiteral("About"));
    TabPanel1->addTab(contact, QStringLiteral("Contact"));

    StaticText1 = about->place(new QLabel(QLatin1String(kDescription)), "StaticText1",
                               {39, 72, 306, 60}, genevaFont(10));
    StaticText1->setWordWrap(true);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Canvas1 = about->place(new QWidget, "Canvas1", {122, 130, 146, 20}, genevaFont(10));
    Canvas1->installEventFilter(this);
    setAccessibleRole(Canvas1, QAccessible::Graphic);  // the logo
    Canvas1->setAccessibleName(QStringLiteral("Tabulon"));
    StaticText2 = about->place(new QLabel(QStringLiteral("Version x.xx")), "StaticText2",
                               {131, 157, 125, 16}, genevaFont(10));
    StaticText2->setAlignment(Qt::AlignCenter);

    StaticText3 = contact->place(new QLabel(makerPostalAddress()), "StaticText3",
                                 {40, 117, 296, 45}, genevaFont(10));
    StaticText3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Canvas2 = contact->place(new QWidget, "Canvas2", {109, 76, 159, 14}, genevaFont(10));
    StaticText5 = link(makerHost(), "StaticText5", Canvas2, {0, 0, 159, 14});
    StaticText5->setAlignment(Qt::AlignCenter);
    Canvas3 = contact->place(new QWidget, "Canvas3", {109, 90, 159, 14}, genevaFont(10));
    StaticText4 = link(makerEmail(), "StaticText4", Canvas3, {5, 0, 149, 14});
    StaticText4->setAlignment(Qt::AlignCenter);
    makeKeyboardLink(StaticText5, [this] { Canvas2_MouseDown(); });
    makeKeyboardLink(StaticText4, [this] { Canvas3_MouseDown(); });
    for (QWidget* watched : {Canvas2, Canvas3, static_cast<QWidget*>(StaticText4),
                             static_cast<QWidget*>(StaticText5)}) {
        watched->installEventFilter(this);
    }

    PushButton1 =
        placed(new QPushButton(QStringLiteral("OK")), "PushButton1", this, {164, 204, 60, 20});
    PushButton1->setDefault(true);
    connect(PushButton1, &QPushButton::clicked, this, &AboutBox::PushButton1_Action);
    Event_Open();
}

void AboutBox::Event_Open() {
    StaticText2->setText(QStringLiteral("Version ") + version_);
    Canvas1_Open();
}

void AboutBox::Canvas1_Open() {
    registerEmbeddedResources();
    QImage picture(QStringLiteral(":/MwRbHzSm"));
    // `p` is a 32-bit copy with alpha, made once: its transparent parts stay
    // transparent over the page (hence the fill, as a new image holds garbage),
    // and premultiplied is the format Qt paints fastest, with no conversion at
    // every paint.
    p = QImage(picture.size(), QImage::Format_ARGB32_Premultiplied);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.drawImage(0, 0, picture);
}

void AboutBox::Canvas1_Paint(QPainter& painter) {
    painter.drawImage(0, 0, p);
}

void AboutBox::Canvas2_MouseDown() {
    openLink(this, QUrl(makerAddress()));
}

void AboutBox::Canvas3_MouseDown() {
    openLink(this, QUrl(makerMailAddress()));
}

void AboutBox::PushButton1_Action() {
    accept();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    if (watched == Canvas1 && type == QEvent::Paint) {
        QPainter painter(Canvas1);
        Canvas1_Paint(painter);
        return true;
    }
    // The link labels lie inside their canvases; a click on either is the canvas's.
    if (type == QEvent::MouseButtonPress && (watched == Canvas2 || watched == StaticText5)) {
        Canvas2_MouseDown();
        return true;
    }
    if (type == QEvent::MouseButtonPress && (watched == Canvas3 || watched == StaticText4)) {
        Canvas3_MouseDown();
        return true;
    }
    if ((watched == StaticText4 || watched == StaticText5) &&
        (type == QEvent::Enter || type == QEvent::Leave)) {
        setLinkHovered(static_cast<QWidget*>(watched), type == QEvent::Enter);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tabulon
