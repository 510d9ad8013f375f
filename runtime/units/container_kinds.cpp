#include "runtime/units/unit_kinds.h"

#include "runtime/core/form_template_format.h"
#include "runtime/units/tab_unit.h"

namespace quillora::runtime {
namespace {

std::unique_ptr<Unit> createTab(LiveWindow& window, const UnitTemplate& unitTemplate)
{
    return std::make_unique<TabUnit>(window, unitTemplate);
}

}  // namespace

void registerContainerKinds()
{
    registerUnitKind(static_cast<std::uint32_t>(form_format::UnitKind::Tab), &createTab);
}

}  // namespace quillora::runtime
