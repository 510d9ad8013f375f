// Label (0x0001000A): static text of one or more lines ("\n" breaks them; long lines wrap at the
// label's width), aligned left, centred or right and set at the top, as a Windows static text
// is. The lines are as tall as the faces drawing them really are, and a caption that would not fit
// the label's rectangle is drawn in a smaller size of its font (fitted_text.h). It never takes the focus; Alt with its mnemonic moves the focus to the unit after it, and
// a press on it drags the window when the window allows that.
//
// Kind properties (LabelProperty in quillora/control_unit_commands.h):
//   0 caption (text)
//   1 alignment (int: 0 left, 1 centre, 2 right)
// Events: none of its own.
// describe(): the caption.
#pragma once

#include <QLabel>
#include <QPointer>

#include "runtime/units/fitted_text.h"
#include "runtime/units/unit.h"

namespace quillora::runtime {

class LabelUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    void windowBuilt() override;
    bool neverFirstFocus() const override { return true; }
    bool dragsWindow() const override { return true; }
    bool isLabelLike() const override { return true; }
    std::string mnemonicCaption() const override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    // The caption as it is drawn: its lines, their places and the font (fitted_text.h).
    FittedText laidText() const;

private:
    void setAlignment(std::uint32_t alignment);

    QPointer<QLabel> label_;
};

}  // namespace quillora::runtime
