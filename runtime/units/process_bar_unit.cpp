#include "runtime/units/process_bar_unit.h"

#include "quillora/control_unit_commands.h"
#include "runtime/units/control_support.h"

#include <QProgressBar>

#include <algorithm>

namespace quillora::runtime {

QWidget* ProcessBarUnit::createWidget(QWidget* parent)
{
    bar_ = new QProgressBar(parent);
    bar_->setTextVisible(false);
    minimum_ = template_.properties.rangeMinimum.value_or(0);
    maximum_ = template_.properties.rangeMaximum.value_or(100);
    position_ = template_.properties.position.value_or(minimum_);
    showPosition();
    return bar_;
}

void ProcessBarUnit::showPosition()
{
    position_ = std::clamp(position_, minimum_, std::max(minimum_, maximum_));
    if (!bar_)
        return;
    bar_->setRange(minimum_, std::max(minimum_, maximum_));
    bar_->setValue(position_);
}

void ProcessBarUnit::windowBuilt()
{
    // The loader lets a unit without tab stop take the focus by a click; this kind never takes it.
    if (bar_)
        bar_->setFocusPolicy(Qt::NoFocus);
}

std::optional<RuntimeValue> ProcessBarUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kProgressPosition: return makeInt(position_);
    case kProgressMinimum: return makeInt(minimum_);
    case kProgressMaximum: return makeInt(maximum_);
    default: return std::nullopt;
    }
}

bool ProcessBarUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t)
{
    const auto number = static_cast<std::int32_t>(payloadLow);
    switch (index) {
    case kProgressPosition: position_ = number; break;
    case kProgressMinimum: minimum_ = number; break;
    case kProgressMaximum: maximum_ = number; break;
    default: return false;
    }
    showPosition();
    return true;
}

std::string ProcessBarUnit::describe() const
{
    return "\nposition\t" + std::to_string(position_) + "\t" + std::to_string(minimum_) + "\t"
        + std::to_string(maximum_);
}

}  // namespace quillora::runtime
