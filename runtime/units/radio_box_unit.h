// RadioBox (0x0001000D): one choice of a group. The radio boxes that lie on the same container
// (the window, one group box, or one tab page) form a group: ticking one clears the others. Alt
// with the caption's mnemonic ticks it and raises "clicked"; the arrow keys that move the focus
// within the group are the window's business.
//
// Kind properties (RadioBoxProperty in quillora/control_unit_commands.h):
//   0 caption (text)
//   1 checked (bool; writing true clears the group's others; no event)
// Events: 0 clicked (also when it was ticked already, as a click on it is still a click).
// Automation: "click", "select" (the same), "tick 1" (clicks when not ticked yet); "tick 0" is
// refused, as a user clears a radio box only by ticking another. describe(): the caption, then
// "checked\t0|1".
#pragma once

#include <QObject>
#include <QPointer>
#include <QRadioButton>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class RadioBoxUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    void windowBuilt() override;
    std::string mnemonicCaption() const override;
    void activateByMnemonic() override { click(); }
    void click() override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;

    bool checked() const;
    // Ticks this one and clears the others of its group, or clears this one alone.
    void setTicked(bool ticked);

private:
    QPointer<QRadioButton> radio_;
    QObject connections_;
};

}  // namespace quillora::runtime
