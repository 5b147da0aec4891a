#include "app/qt/about_box.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

#include "app/qt/embedded_resources.h"
#include "app/qt/fonts.h"
#include "app/qt/links.h"
#include "app/qt/main_window_pages.h"
#include "app/qt/maker.h"
#include "app/qt/window1.h"

namespace tabulon {
namespace {

const char kDescription[] =
    "Tabulon is a program to convert mail received from web site forms into a tab delimited text "
    "file. Tabulon uses a format file call Field Names to match to your form.";

// A tab page whose controls stand at the dialog's coordinates.
class AboutPage : public WindowPage {
  public:
    using WindowPage::WindowPage;
    template <class Control>
    Control* add(Control* control, const char* name, QRect rect) {
        control->setObjectName(QLatin1String(name));
        control->setFont(genevaFont(10));
        return place(control, rect.x(), rect.y(), rect.width(), rect.height());
    }
};

QLabel* link(const QString& text, QWidget* canvas, QPoint offset, QSize size) {
    auto* label = new QLabel(text, canvas);
    label->setFont(genevaFont(10));
    label->setGeometry(QRect(offset, size));
    label->setCursor(Qt::PointingHandCursor);
    setTextColour(label, kLinkColour);
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Dialog1"));
    setWindowTitle(QStringLiteral("About Tabulon"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setFixedSize(379, 234);

    TabPanel1 = new QTabWidget(this);
    TabPanel1->setObjectName(QStringLiteral("TabPanel1"));
    TabPanel1->setFont(systemFont(12));
    TabPanel1->setGeometry(11, 14, 357, 179);
    auto* about = new AboutPage(this);
    auto* contact = new AboutPage(this);
    TabPanel1->addTab(about, QStringLiteral("About"));
    TabPanel1->addTab(contact, QStringLiteral("Contact"));

    StaticText1 =
        about->add(new QLabel(QLatin1String(kDescription)), "StaticText1", {39, 72, 306, 60});
    StaticText1->setWordWrap(true);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Canvas1 = about->add(new QWidget, "Canvas1", {122, 130, 146, 20});
    Canvas1->installEventFilter(this);
    StaticText2 =
        about->add(new QLabel(QStringLiteral("Version x.xx")), "StaticText2", {131, 157, 125, 16});
    StaticText2->setAlignment(Qt::AlignCenter);

    StaticText3 = contact->add(new QLabel(makerPostalAddress()), "StaticText3", {40, 117, 296, 45});
    StaticText3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Canvas2 = contact->add(new QWidget, "Canvas2", {109, 76, 159, 14});
    StaticText5 = link(makerHost(), Canvas2, {0, 0}, {159, 14});
    StaticText5->setObjectName(QStringLiteral("StaticText5"));
    StaticText5->setAlignment(Qt::AlignCenter);
    Canvas3 = contact->add(new QWidget, "Canvas3", {109, 90, 159, 14});
    StaticText4 = link(makerEmail(), Canvas3, {5, 0}, {149, 14});
    StaticText4->setObjectName(QStringLiteral("StaticText4"));
    StaticText4->setAlignment(Qt::AlignCenter);
    for (QWidget* watched : {Canvas2, Canvas3, static_cast<QWidget*>(StaticText4),
                             static_cast<QWidget*>(StaticText5)}) {
        watched->installEventFilter(this);
    }

    PushButton1 = new QPushButton(QStringLiteral("OK"), this);
    PushButton1->setObjectName(QStringLiteral("PushButton1"));
    PushButton1->setFont(systemFont(12));
    PushButton1->setGeometry(164, 204, 60, 20);
    PushButton1->setDefault(true);
    connect(PushButton1, &QPushButton::clicked, this, &AboutBox::PushButton1_Action);
    Event_Open();
}

void AboutBox::Event_Open() {
    Window1* main = Window1::instance();
    StaticText2->setText(QStringLiteral("Version ") + (main ? main->myversion : QString()));
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
    openLink(this, QUrl(makerWebAddress()));
}

void AboutBox::Canvas3_MouseDown() {
    openLink(this, QUrl(QStringLiteral("mailto:") + makerEmail()));
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
    if ((watched == StaticText4 || watched == StaticText5) && type == QEvent::Enter) {
        setTextColour(static_cast<QWidget*>(watched), kLinkHoverColour);
    }
    if ((watched == StaticText4 || watched == StaticText5) && type == QEvent::Leave) {
        setTextColour(static_cast<QWidget*>(watched), kLinkColour);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tabulon
