#include "platform/qt/links.h"

#include <QKeyEvent>
#include <QLabel>
#include <QWidget>

#include "platform/qt/accessible_role.h"
#include "platform/qt/desktop.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/text_colours.h"

namespace tabulon {
namespace {

// Watches a link label for the focus and the keys that follow it.
class KeyboardLink : public QObject {
  public:
    KeyboardLink(QWidget* link, std::function<void()> follow)
        : QObject(link), follow_(std::move(follow)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* link = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::FocusIn:
            case QEvent::FocusOut:
                setLinkHovered(link, event->type() == QEvent::FocusIn);
                break;
            case QEvent::KeyPress: {
                int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                    follow_();
                    return true;
                }
                break;
            }
            default:
                break;
        }
        return false;
    }

  private:
    std::function<void()> follow_;
};

}  // namespace

bool openLink(QWidget* parent, const QUrl& address) {
    if (openUrl(address)) return true;
    // An e-mail address is shown as one writes it, without "mailto:".
    QString shown =
        address.scheme() == QLatin1String("mailto") ? address.path() : address.toString();
    dialogs().message(parent, QStringLiteral("No program could open this address:\n") + shown);
    return false;
}

void makeKeyboardLink(QWidget* link, std::function<void()> follow) {
    link->setFocusPolicy(Qt::StrongFocus);
    link->installEventFilter(new KeyboardLink(link, std::move(follow)));
    setAccessibleRole(link, QAccessible::Link);
    // Spoken as a link, a label is no longer spoken by its text: it is the name.
    auto* label = qobject_cast<QLabel*>(link);
    if (label != nullptr && link->accessibleName().isEmpty())
        link->setAccessibleName(label->text());
}

}  // namespace tabulon
