#include "app/qt/help.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/qt/accessible_role.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/links.h"
#include "platform/qt/qt_paths.h"

namespace tabulon {
namespace {

// The document is small; anything larger is not it.
constexpr qint64 kMaxHelpBytes = 4 << 20;

QString helpDocumentPath() {
    return fromNative(resolvePath(":Tabulon Help:Tabulon Help"));
}

}  // namespace

HelpWindow::HelpWindow() {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tabulon Help"));
    setAccessibleRole(this, QAccessible::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    HelpText = new QTextBrowser(this);
    HelpText->setObjectName(QStringLiteral("HelpText"));
    // Links are followed here: the page's own anchors scroll, others go out.
    HelpText->setOpenLinks(false);
    connect(HelpText, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(HelpText);
    // The page's lines wrap to the window, the examples' long lines too, so
    // that it opens without a sideways scroll bar.
    HelpText->setLineWrapMode(QTextEdit::WidgetWidth);
    HelpText->document()->setDefaultStyleSheet(QStringLiteral("pre { white-space: pre-wrap; }"));
    HelpText->setAccessibleName(QStringLiteral("Tabulon Help"));
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    addMenuHandler(menu_item::kFileClose, [this] {
        close();
        return true;
    });
    resize(640, 560);
}

bool HelpWindow::load() {
    QString path = helpDocumentPath();
    QFile file(path);
    QByteArray html;
    bool read =
        QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && file.size() <= kMaxHelpBytes;
    if (read) html = file.read(kMaxHelpBytes);
    if (!read || file.error() != QFileDevice::NoError) {
        dialogs().message(this, QStringLiteral("The help document \"%1\" could not be read.")
                                    .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    HelpText->setSearchPaths({QFileInfo(path).absolutePath()});
    HelpText->setHtml(QString::fromUtf8(html));
    return true;
}

void HelpWindow::followLink(const QUrl& link) {
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        HelpText->scrollToAnchor(link.fragment());
        return;
    }
    openLink(this, link);
}

void openHelpDocument(QWidget* parent) {
    static QPointer<HelpWindow> window;
    if (!window) {
        auto* created = new HelpWindow;
        if (!created->load()) {
            delete created;
            return;
        }
        window = created;
        if (parent) window->move(parent->window()->geometry().topLeft() + QPoint(40, 40));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tabulon
