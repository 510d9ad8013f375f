// Button (0x0001000B): a push button. It accepts Enter as the window's default button, and Alt
// with its caption's mnemonic ("&x") clicks it.
//
// Kind properties (ButtonProperty in quillora/control_unit_commands.h):
//   0 caption (text; "\n" breaks lines)
// Events: 0 clicked.
// Automation: "click". describe(): the caption.
#pragma once

#include <QObject>
#include <QPointer>
#include <QPushButton>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class ButtonUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    bool acceptsEnterAsDefault() const override { return true; }
    std::string mnemonicCaption() const override;
    void activateByMnemonic() override { click(); }
    void click() override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;

protected:
    QPushButton* button() const { return button_; }
    void setCaption(std::string_view caption);
    std::string caption() const;

private:
    QPointer<QPushButton> button_;
    // The context of the widget's signal connections: they end with the unit, before the
    // widget is deleted with its window.
    QObject connections_;
};

}  // namespace quillora::runtime
