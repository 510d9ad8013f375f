// GroupBox (0x00010009): a titled frame that holds other units. Its children lie on the group
// box itself, so their positions count from its top-left corner, as on Windows, where a group
// box's client area is its whole rectangle. It never takes the focus; Alt with its mnemonic
// moves the focus on to the unit after it, and a press on it drags the window when the window
// allows that.
//
// Kind properties (GroupBoxProperty in quillora/control_unit_commands.h):
//   0 caption (text; empty = a frame without title)
// Events: none of its own.
// describe(): the caption.
#pragma once

#include <QGroupBox>
#include <QPointer>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class GroupBoxUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    void windowBuilt() override;
    // Every child lies on the group box, whatever page it names.
    QWidget* containerWidget(std::uint32_t page) override;
    bool neverFirstFocus() const override { return true; }
    bool dragsWindow() const override { return true; }
    bool isLabelLike() const override { return true; }
    std::string mnemonicCaption() const override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;

private:
    QPointer<QGroupBox> box_;
};

}  // namespace quillora::runtime
