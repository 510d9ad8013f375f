#include "runtime/units/slider_bar_unit.h"

#include "quillora/control_unit_commands.h"
#include "quillora/events.h"
#include "runtime/units/control_support.h"

#include <QGroupBox>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStyleOptionSlider>

namespace quillora::runtime {
namespace {

// A trackbar's range when the form gives none.
constexpr int kDefaultMinimum = 0;
constexpr int kDefaultMaximum = 100;

// The inside of a group box's frame, in the group box's coordinates.
QRect groupBoxInside(const QGroupBox& box)
{
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.textAlignment = box.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.features = box.isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    option.lineWidth = 1;
    return box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, &box);
}

// A slider that lies on a group box keeps its groove and handle inside the box's frame: the forms
// give the rows and columns sliders rectangles that run a few pixels past their box, which a
// Windows trackbar hides in its own margins. The rectangle stays the form's; only what is drawn
// in it, and where a click lands, is kept to the part within the frame.
class ContainedSlider final : public QSlider {
public:
    using QSlider::QSlider;

    QRect drawnArea() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return option.rect;
    }

protected:
    void initStyleOption(QStyleOptionSlider* option) const override
    {
        QSlider::initStyleOption(option);
        const auto* box = qobject_cast<const QGroupBox*>(parentWidget());
        if (!box)
            return;
        const QRect inside = groupBoxInside(*box).translated(-pos());
        const QRect kept = option->rect.intersected(inside);
        // A slider wholly outside its box is drawn as it is rather than not at all.
        if (kept.width() > 0 && kept.height() > 0)
            option->rect = kept;
    }
};

}  // namespace

QWidget* SliderBarUnit::createWidget(QWidget* parent)
{
    const UnitRect& rect = template_.rect;
    slider_ = new ContainedSlider(rect.height > rect.width ? Qt::Vertical : Qt::Horizontal, parent);
    quietly([&] {
        slider_->setRange(template_.properties.rangeMinimum.value_or(kDefaultMinimum),
                          template_.properties.rangeMaximum.value_or(kDefaultMaximum));
        slider_->setValue(template_.properties.position.value_or(slider_->minimum()));
    });
    QObject::connect(slider_, &QSlider::valueChanged, &connections_, [this] {
        if (!programChange_)
            fire(kEventSliderMoved);
    });
    return slider_;
}

template <typename Change>
void SliderBarUnit::quietly(Change change)
{
    const bool outer = programChange_;
    programChange_ = true;
    change();
    programChange_ = outer;
}

std::optional<RuntimeValue> SliderBarUnit::readKindProperty(std::int32_t index)
{
    if (!slider_)
        return std::nullopt;
    switch (index) {
    case kSliderPosition: return makeInt(slider_->value());
    case kSliderMinimum: return makeInt(slider_->minimum());
    case kSliderMaximum: return makeInt(slider_->maximum());
    case kSliderPageStep: return makeInt(slider_->pageStep());
    default: return std::nullopt;
    }
}

bool SliderBarUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t)
{
    if (!slider_)
        return false;
    const auto number = static_cast<std::int32_t>(payloadLow);
    switch (index) {
    case kSliderPosition:
        quietly([&] { slider_->setValue(number); });
        return true;
    case kSliderMinimum:
        quietly([&] { slider_->setMinimum(number); });
        return true;
    case kSliderMaximum:
        quietly([&] { slider_->setMaximum(number); });
        return true;
    case kSliderPageStep:
        slider_->setPageStep(number);
        return true;
    default:
        return false;
    }
}

QRect SliderBarUnit::drawnArea() const
{
    const auto* slider = dynamic_cast<const ContainedSlider*>(slider_.data());
    return slider ? slider->drawnArea() : QRect();
}

std::string SliderBarUnit::describe() const
{
    if (!slider_)
        return {};
    return "\nposition\t" + std::to_string(slider_->value()) + "\t" + std::to_string(slider_->minimum()) + "\t"
        + std::to_string(slider_->maximum());
}

bool SliderBarUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action != "slide")
        return Unit::automate(action, argument, problem);
    const std::optional<int> position = parseWholeNumber(argument);
    if (!position) {
        problem = "slide takes a whole number, not \"" + std::string(argument) + "\"";
        return false;
    }
    if (!userCanReach(*this, problem))
        return false;
    slider_->setValue(*position);
    return true;
}

}  // namespace quillora::runtime
