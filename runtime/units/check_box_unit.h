// CheckBox (0x0001000C): a box the user ticks and unticks. Alt with its caption's mnemonic
// toggles the tick and raises "clicked", as a click does.
//
// Kind properties (CheckBoxProperty in quillora/control_unit_commands.h):
//   0 caption (text)
//   1 checked (bool; writing it raises no event)
// Events: 0 clicked (after the tick has changed).
// Automation: "click", "tick 0|1" (clicks only when the tick differs). describe(): the caption,
// then "checked\t0|1".
#pragma once

#include <QCheckBox>
#include <QObject>
#include <QPointer>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class CheckBoxUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    std::string mnemonicCaption() const override;
    void activateByMnemonic() override { click(); }
    void click() override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;

    bool checked() const;

private:
    QPointer<QCheckBox> box_;
    QObject connections_;
};

}  // namespace quillora::runtime
