// ProcessBar (0x00010013): a progress bar without text. Range and position come from the form
// (0 to 100 and position 0 when it gives none). It never takes the focus, and a press on it
// drags the window when the window allows that.
//
// Kind properties (ProcessBarProperty in quillora/control_unit_commands.h):
//   0 position (int, kept within the range, as a Windows progress bar keeps it)
//   1 minimum (int)
//   2 maximum (int; a maximum below the minimum reads back as written but counts as the minimum)
// Events: none of its own.
// describe(): an empty text line, then "position\tPOS\tMIN\tMAX".
#pragma once

#include <QPointer>
#include <QProgressBar>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class ProcessBarUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    void windowBuilt() override;
    bool neverFirstFocus() const override { return true; }
    bool dragsWindow() const override { return true; }

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;

private:
    // Qt refuses a value outside the range and forgets the value when the range moves past it;
    // the position is clamped into the range here first, so neither happens.
    void showPosition();

    QPointer<QProgressBar> bar_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

}  // namespace quillora::runtime
