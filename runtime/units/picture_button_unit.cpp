#include "runtime/units/picture_button_unit.h"

#include "quillora/control_unit_commands.h"
#include "runtime/units/control_support.h"

#include <QPushButton>

namespace quillora::runtime {

QWidget* PictureButtonUnit::createWidget(QWidget* parent)
{
    QWidget* widget = ButtonUnit::createWidget(parent);
    widget->setToolTip(toQt(template_.properties.tooltip.value_or(std::string())));
    return widget;
}

std::optional<RuntimeValue> PictureButtonUnit::readKindProperty(std::int32_t index)
{
    if (index == kPictureButtonTooltip)
        return textValue(button() ? button()->toolTip() : QString());
    return ButtonUnit::readKindProperty(index);
}

bool PictureButtonUnit::writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                                          std::uint32_t payloadHigh)
{
    if (index != kPictureButtonTooltip)
        return ButtonUnit::writeKindProperty(index, member, payloadLow, payloadHigh);
    if (button())
        button()->setToolTip(toQt(payloadText(payloadLow, payloadHigh)));
    return true;
}

std::string PictureButtonUnit::describe() const
{
    std::string text = ButtonUnit::describe();
    if (button() && !button()->toolTip().isEmpty())
        text += "\ntooltip\t" + escapedForDescription(button()->toolTip());
    return text;
}

}  // namespace quillora::runtime
