#include "runtime/units/group_box_unit.h"

#include "quillora/control_unit_commands.h"
#include "runtime/units/control_support.h"

#include <QGroupBox>

namespace quillora::runtime {

QWidget* GroupBoxUnit::createWidget(QWidget* parent)
{
    box_ = new QGroupBox(toQt(template_.properties.text.value_or(std::string())), parent);
    box_->setFocusPolicy(Qt::NoFocus);
    applyTemplateFont(*box_, template_.properties);
    return box_;
}

QWidget* GroupBoxUnit::containerWidget(std::uint32_t)
{
    return box_;
}

std::string GroupBoxUnit::mnemonicCaption() const
{
    return box_ ? fromQt(box_->title()) : std::string();
}

std::optional<RuntimeValue> GroupBoxUnit::readKindProperty(std::int32_t index)
{
    if (index == kGroupBoxCaption)
        return textValue(box_ ? box_->title() : QString());
    return std::nullopt;
}

bool GroupBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    if (index != kGroupBoxCaption || !box_)
        return false;
    box_->setTitle(toQt(payloadText(payloadLow, payloadHigh)));
    return true;
}

std::string GroupBoxUnit::describe() const
{
    return escapedForDescription(box_ ? box_->title() : QString());
}

}  // namespace quillora::runtime
