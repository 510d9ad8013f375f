#include "runtime/units/radio_box_unit.h"

#include "quillora/control_unit_commands.h"
#include "quillora/events.h"
#include "runtime/core/live_window.h"
#include "runtime/units/control_support.h"

#include <QKeySequence>
#include <QRadioButton>

namespace quillora::runtime {

QWidget* RadioBoxUnit::createWidget(QWidget* parent)
{
    radio_ = new QRadioButton(toQt(template_.properties.text.value_or(std::string())), parent);
    radio_->setShortcut(QKeySequence());
    // Qt's automatic exclusivity takes in the radio buttons of every nested container, and every
    // unit starts on the window's client area before it is moved onto its group box; the group
    // is kept here instead, by container.
    radio_->setAutoExclusive(false);
    applyTemplateFont(*radio_, template_.properties);
    QObject::connect(radio_, &QRadioButton::clicked, &connections_, [this] {
        // A click always leaves the radio box ticked, even one that was ticked already.
        setTicked(true);
        fire(kEventClicked);
    });
    return radio_;
}

void RadioBoxUnit::windowBuilt()
{
    // Only now does the radio box lie on its container, so only now is its group known.
    if (template_.properties.checked.value_or(false))
        setTicked(true);
}

std::string RadioBoxUnit::mnemonicCaption() const
{
    return radio_ ? fromQt(radio_->text()) : std::string();
}

void RadioBoxUnit::click()
{
    if (radio_)
        radio_->click();
}

bool RadioBoxUnit::checked() const
{
    return radio_ && radio_->isChecked();
}

void RadioBoxUnit::setTicked(bool ticked)
{
    if (!radio_)
        return;
    if (ticked) {
        for (const auto& unit : window().units()) {
            auto* other = dynamic_cast<RadioBoxUnit*>(unit.get());
            if (other && other != this && other->radio_ && other->radio_->parentWidget() == radio_->parentWidget())
                other->radio_->setChecked(false);
        }
    }
    radio_->setChecked(ticked);
}

std::optional<RuntimeValue> RadioBoxUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kRadioBoxCaption: return textValue(radio_ ? radio_->text() : QString());
    case kRadioBoxChecked: return makeBool(checked());
    default: return std::nullopt;
    }
}

bool RadioBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    if (!radio_)
        return false;
    switch (index) {
    case kRadioBoxCaption:
        radio_->setText(toQt(payloadText(payloadLow, payloadHigh)));
        radio_->setShortcut(QKeySequence());
        return true;
    case kRadioBoxChecked:
        setTicked(payloadLow != 0);
        return true;
    default:
        return false;
    }
}

std::string RadioBoxUnit::describe() const
{
    return escapedForDescription(radio_ ? radio_->text() : QString()) + "\nchecked\t" + (checked() ? "1" : "0");
}

bool RadioBoxUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action == "click" || action == "select") {
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
        if (!*wanted) {
            problem = name() + " is a radio box: tick another one of its group to clear it";
            return false;
        }
        if (!userCanReach(*this, problem))
            return false;
        if (!checked())
            click();
        return true;
    }
    return Unit::automate(action, argument, problem);
}

}  // namespace quillora::runtime
