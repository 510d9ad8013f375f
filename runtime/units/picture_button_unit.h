// SuperBtn (0x00040001): the picture button. Here it is a push button that shows its caption
// and, when the form gives one, its tooltip. It accepts Enter as the window's default button;
// unlike the plain button it has no Alt mnemonic.
//
// Kind properties (PictureButtonProperty in quillora/control_unit_commands.h):
//   0 caption (text)
//   1 tooltip (text; empty = none)
// Events: 0 clicked.
// Automation: "click". describe(): the caption, then "tooltip\tTEXT" when it has one.
#pragma once

#include "runtime/units/button_unit.h"

namespace quillora::runtime {

class PictureButtonUnit : public ButtonUnit {
public:
    using ButtonUnit::ButtonUnit;

    QWidget* createWidget(QWidget* parent) override;
    std::string mnemonicCaption() const override { return {}; }
    void activateByMnemonic() override {}

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
};

}  // namespace quillora::runtime
