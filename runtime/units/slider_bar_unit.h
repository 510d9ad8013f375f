// SliderBar (0x00010014): a slider with a handle the user drags or moves with the keys;
// horizontal unless it is taller than wide; on a group box it is drawn within the box's frame. Range and position come from the form (a range of
// 0 to 100 and position 0 when it gives none).
//
// Kind properties (SliderBarProperty in quillora/control_unit_commands.h):
//   0 position (int, kept within the range; writing raises no event)
//   1 minimum (int)
//   2 maximum (int)
//   3 page step (int, the step of a click beside the handle)
// Events: 0 position changed, whenever the user moves the handle.
// Automation: "slide POS" moves the handle there as a drag does. describe(): an empty text
// line, then "position\tPOS\tMIN\tMAX".
#pragma once

#include <QObject>
#include <QPointer>
#include <QSlider>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class SliderBarUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;
    // Where the groove and handle are drawn, in the slider's coordinates: its rectangle, less what
    // lies outside the frame of a group box it is on.
    QRect drawnArea() const;

private:
    // Runs a change the program makes; the slider then raises no event.
    template <typename Change>
    void quietly(Change change);

    QPointer<QSlider> slider_;
    bool programChange_ = false;
    QObject connections_;
};

}  // namespace quillora::runtime
