#include "InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace kelvara {

InputBlocker::InputBlocker() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool InputBlocker::IsUserInput(int eventType) {
    switch (eventType) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
            return true;
        default:
            return false;
    }
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (IsUserInput(event->type())) return true;
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvara
