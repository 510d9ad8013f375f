#include "runtime/units/check_box_unit.h"

#include "quillora/control_unit_commands.h"
#include "quillora/events.h"
#include "runtime/units/control_support.h"

#include <QCheckBox>
#include <QKeySequence>

namespace quillora::runtime {

QWidget* CheckBoxUnit::createWidget(QWidget* parent)
{
    box_ = new QCheckBox(toQt(template_.properties.text.value_or(std::string())), parent);
    // The window handles Alt+mnemonics in table order; Qt's own shortcut would race it.
    box_->setShortcut(QKeySequence());
    box_->setChecked(template_.properties.checked.value_or(false));
    applyTemplateFont(*box_, template_.properties);
    // "clicked" comes only from the user (or click()), never from setChecked.
    QObject::connect(box_, &QCheckBox::clicked, &connections_, [this] { fire(kEventClicked); });
    return box_;
}

std::string CheckBoxUnit::mnemonicCaption() const
{
    return box_ ? fromQt(box_->text()) : std::string();
}

void CheckBoxUnit::click()
{
    if (box_)
        box_->click();
}

bool CheckBoxUnit::checked() const
{
    return box_ && box_->isChecked();
}

std::optional<RuntimeValue> CheckBoxUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kCheckBoxCaption: return textValue(box_ ? box_->text() : QString());
    case kCheckBoxChecked: return makeBool(checked());
    default: return std::nullopt;
    }
}

bool CheckBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    if (!box_)
        return false;
    switch (index) {
    case kCheckBoxCaption:
        box_->setText(toQt(payloadText(payloadLow, payloadHigh)));
        box_->setShortcut(QKeySequence());
        return true;
    case kCheckBoxChecked:
        box_->setChecked(payloadLow != 0);
        return true;
    default:
        return false;
    }
}

std::string CheckBoxUnit::describe() const
{
    return escapedForDescription(box_ ? box_->text() : QString()) + "\nchecked\t" + (checked() ? "1" : "0");
}

bool CheckBoxUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action == "click") {
        if (!userCanReach(*this, problem))
            return false;
        click();
        return true;
    }
    if (action == "tick" || action == "check") {
        const std::optional<bool> wanted = parseTick(argument);
        if (!wanted) {
            problem = "tick takes 1 or 0, not \"" + std::string(argument) + "\"";
            return false;
        }
        if (!userCanReach(*this, problem))
            return false;
        if (*wanted != checked())
            click();
        return true;
    }
    return Unit::automate(action, argument, problem);
}

}  // namespace quillora::runtime
