// The common dialog unit: no window of its own, it opens a system dialog when the program asks.
// The album program uses it as the font dialog only: it presets a face and a size, opens the
// dialog and reads the font back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/units/unit.h"

namespace quillora::runtime {

// The font the dialog is preset with and reports back.
struct FontChoice {
    std::string faceName;
    std::int32_t sizePoints = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const FontChoice&) const = default;
};

// The largest size the dialog accepts, as the font dialogs of the desktop do.
inline constexpr std::int32_t kMaxFontDialogPoints = 1638;

// Reads a queued automation answer for the font dialog: "FACE SIZE [bold] [italic] [underline]
// [strikeout]", the face in double quotes when it has blanks (an unquoted face may also span
// several words before the size). "cancel", an empty answer, a size that is not a whole number
// from 1 to kMaxFontDialogPoints, or an unknown word give nothing: the dialog counts as cancelled.
std::optional<FontChoice> fontChoiceFromAnswer(std::string_view answer);

class CommonDialogUnit : public Unit {
public:
    CommonDialogUnit(LiveWindow& window, const UnitTemplate& unitTemplate);

    QWidget* createWidget(QWidget* parent) override;
    bool neverShown() const override { return true; }
    bool neverFirstFocus() const override { return true; }

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;

    // Opens the dialog of the set type; true when the user confirmed. Under the automation
    // driver the queued answer stands in for the user, and without a display nobody can answer,
    // so the dialog counts as cancelled instead of waiting.
    bool open();

    const FontChoice& font() const { return font_; }

private:
    std::int32_t dialogType_ = 0;
    std::string title_;
    FontChoice font_;
};

}  // namespace quillora::runtime
