#include "runtime/units/common_events.h"

#include "quillora/events.h"
#include "runtime/units/unit.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <utility>

namespace quillora::runtime {
namespace {

// The focus left only because another window of the program (a message box, the progress
// window, a drop-down list) became the active one; this window stays as it was.
bool lostToAnotherWindow(const QObject* watched, const QEvent* event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    const auto* widget = qobject_cast<const QWidget*>(watched);
    const QWidget* active = QApplication::activeWindow();
    return (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) && widget && active
           && active != widget->window();
}


// A character that a handler replaced is sent again as a fresh key event; this marks it so the
// filter does not ask the handler a second time.
constexpr quint32 kReplacedCharacterMarker = 0x51A11u;

QPoint packedPosition(QObject* watched, const Unit& unit, QPointF position)
{
    QPoint point = position.toPoint();
    if (auto* inner = qobject_cast<QWidget*>(watched); inner && unit.widget() && inner != unit.widget())
        point = inner->mapTo(unit.widget(), point);
    return point;
}

}  // namespace

int keyState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ControlModifier ? 1 : 0) | (modifiers & Qt::ShiftModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

int virtualKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    default: return qtKey & 0x1FFF;
    }
}

CommonEventFilter::CommonEventFilter(Unit& unit) : unit_(unit) {}

void CommonEventFilter::watch(QObject* widget)
{
    widget->installEventFilter(this);
    if (auto* scrollArea = qobject_cast<QAbstractScrollArea*>(widget))
        scrollArea->viewport()->installEventFilter(this);
}

bool CommonEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool right = mouse->button() == Qt::RightButton;
        std::int32_t number = kEventMouseMoved;
        if (event->type() == QEvent::MouseButtonPress)
            number = right ? kEventRightButtonDown : kEventLeftButtonDown;
        else if (event->type() == QEvent::MouseButtonRelease)
            number = right ? kEventRightButtonUp : kEventLeftButtonUp;
        else if (event->type() == QEvent::MouseButtonDblClick) {
            if (right)
                return false;
            number = kEventDoubleClicked;
        }
        const QPoint point = packedPosition(watched, unit_, mouse->position());
        return handlerSaidNo(unit_.fire(number, {point.x(), point.y(), keyState(mouse->modifiers())}));
    }
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        return handlerSaidNo(unit_.fire(kEventWheelTurned, {wheel->angleDelta().y() / 120, keyState(wheel->modifiers())}));
    }
    // The focus moving between units is what these events report. A window that another window
    // deactivates keeps its focused unit, which gets the focus back when the window is active
    // again: neither change is reported, or a message box shown on losing the focus would take
    // the focus and show itself again. A window that closes with no other window taking over
    // does take the focus from its unit.
    case QEvent::FocusIn:
        if (watched == unit_.widget()) {
            // Coming back to the unit that kept the focus is no change of focus.
            if (!std::exchange(focusKeptWhileInactive_, false))
                unit_.fire(kEventGotFocus);
        }
        return false;
    case QEvent::FocusOut:
        if (watched == unit_.widget()) {
            focusKeptWhileInactive_ = lostToAnotherWindow(watched, event);
            if (!focusKeptWhileInactive_)
                unit_.fire(kEventLostFocus);
        }
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->nativeVirtualKey() == kReplacedCharacterMarker)
            return false;
        const bool press = event->type() == QEvent::KeyPress;
        if (handlerSaidNo(unit_.fire(press ? kEventKeyDown : kEventKeyUp,
                                     {virtualKeyCode(key->key()), keyState(key->modifiers())})))
            return true;
        if (!press || key->text().isEmpty() || !key->text()[0].isPrint())
            return false;
        const EventRecord character = unit_.fire(kEventCharacter, {static_cast<std::int64_t>(key->text()[0].unicode())});
        if (!character.hasResult || character.result == static_cast<std::int64_t>(key->text()[0].unicode()))
            return false;
        if (character.result == 0)
            return true;
        const QString replaced(QChar(static_cast<char16_t>(character.result)));
        auto* again = new QKeyEvent(QEvent::KeyPress, key->key(), key->modifiers(), 0, kReplacedCharacterMarker, 0,
                                    replaced);
        QCoreApplication::postEvent(watched, again);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace quillora::runtime
