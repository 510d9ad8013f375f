// The common events every unit raises from its widget: mouse buttons and moves, double clicks,
// focus, keys, characters and the wheel.
#pragma once

#include <QObject>

namespace quillora::runtime {

class Unit;

class CommonEventFilter : public QObject {
public:
    explicit CommonEventFilter(Unit& unit);

    // Watches `widget` (the unit's widget or one of its inner widgets, such as a list's
    // viewport) on behalf of the unit.
    void watch(QObject* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Unit& unit_;
    // The unit kept the focus while another window of the program was active.
    bool focusKeptWhileInactive_ = false;
};

// The key code of a Qt key as the application sees it (the low 13 bits of a virtual key).
int virtualKeyCode(int qtKey);

// 1 Ctrl, 2 Shift, 4 Alt, combined.
int keyState(Qt::KeyboardModifiers modifiers);

}  // namespace quillora::runtime
