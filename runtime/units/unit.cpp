#include "runtime/units/unit.h"

#include "runtime/core/live_window.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/common_events.h"
#include "runtime/units/unit_kinds.h"

#include <QWidget>

#include <map>

namespace quillora::runtime {
namespace {

std::map<std::uint32_t, UnitCreator>& kindTable()
{
    static std::map<std::uint32_t, UnitCreator> table;
    return table;
}

// A unit whose kind has no implementation: an empty, inert control that keeps its place so the
// window still loads.
class PlaceholderUnit : public Unit {
public:
    using Unit::Unit;
    QWidget* createWidget(QWidget* parent) override { return new QWidget(parent); }
};

}  // namespace

Unit::Unit(LiveWindow& window, const UnitTemplate& unitTemplate) : template_(unitTemplate), window_(window) {}

Unit::~Unit() = default;

std::uint32_t Unit::windowId() const
{
    return window_.id();
}

QWidget* Unit::containerWidget(std::uint32_t)
{
    return nullptr;
}

std::optional<RuntimeValue> Unit::readKindProperty(std::int32_t)
{
    return std::nullopt;
}

bool Unit::writeKindProperty(std::int32_t, std::int32_t, std::uint32_t, std::uint32_t)
{
    return false;
}

std::string Unit::describe() const
{
    return {};
}

bool Unit::automate(std::string_view action, std::string_view, std::string& problem)
{
    problem = "unit " + name() + " cannot " + std::string(action);
    return false;
}

EventRecord Unit::fire(std::int32_t event, std::initializer_list<std::int64_t> arguments)
{
    return fireUnitEvent(windowId(), unitId(), event, arguments);
}

void Unit::watchCommonEvents()
{
    if (!widget_ || commonEvents_)
        return;
    commonEvents_ = std::make_unique<CommonEventFilter>(*this);
    commonEvents_->watch(widget_);
}

void registerUnitKind(std::uint32_t typeCode, UnitCreator creator)
{
    kindTable()[typeCode] = creator;
}

std::unique_ptr<Unit> createUnit(LiveWindow& window, const UnitTemplate& unitTemplate)
{
    registerBuiltInUnitKinds();
    const auto found = kindTable().find(unitTemplate.typeCode);
    if (found != kindTable().end())
        return found->second(window, unitTemplate);
    return std::make_unique<PlaceholderUnit>(window, unitTemplate);
}

Unit* findLiveUnit(std::uint32_t windowId, std::uint32_t unitId)
{
    LiveWindow* window = liveWindow(windowId);
    return window ? window->findUnit(unitId) : nullptr;
}

}  // namespace quillora::runtime
