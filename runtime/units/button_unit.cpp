#include "runtime/units/button_unit.h"

#include "quillora/control_unit_commands.h"
#include "quillora/events.h"
#include "runtime/units/control_support.h"

#include <QKeySequence>
#include <QPushButton>

namespace quillora::runtime {

QWidget* ButtonUnit::createWidget(QWidget* parent)
{
    button_ = new QPushButton(parent);
    // A push button outside a dialog never becomes Qt's default button; Enter is the window's
    // business (it asks acceptsEnterAsDefault).
    button_->setAutoDefault(false);
    setCaption(template_.properties.text.value_or(std::string()));
    applyTemplateFont(*button_, template_.properties);
    QObject::connect(button_, &QPushButton::clicked, &connections_, [this] { fire(kEventClicked); });
    return button_;
}

void ButtonUnit::setCaption(std::string_view caption)
{
    if (!button_)
        return;
    button_->setText(toQt(caption));
    // Qt would turn the "&x" of the caption into a shortcut of its own; the window handles
    // Alt+mnemonics for every unit in table order, so the button only underlines the letter.
    button_->setShortcut(QKeySequence());
}

std::string ButtonUnit::caption() const
{
    return button_ ? fromQt(button_->text()) : template_.properties.text.value_or(std::string());
}

std::string ButtonUnit::mnemonicCaption() const
{
    return caption();
}

void ButtonUnit::click()
{
    if (button_)
        button_->click();
}

std::optional<RuntimeValue> ButtonUnit::readKindProperty(std::int32_t index)
{
    if (index == kButtonCaption)
        return textValue(toQt(caption()));
    return std::nullopt;
}

bool ButtonUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    if (index != kButtonCaption)
        return false;
    setCaption(payloadText(payloadLow, payloadHigh));
    return true;
}

std::string ButtonUnit::describe() const
{
    return escapedForDescription(toQt(caption()));
}

bool ButtonUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action != "click")
        return Unit::automate(action, argument, problem);
    if (!userCanReach(*this, problem))
        return false;
    click();
    return true;
}

}  // namespace quillora::runtime
