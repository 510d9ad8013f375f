#include "runtime/units/unit_kinds.h"

#include "runtime/core/form_template_format.h"
#include "runtime/units/combo_box_unit.h"
#include "runtime/units/edit_box_unit.h"
#include "runtime/units/list_box_unit.h"
#include "runtime/units/process_bar_unit.h"
#include "runtime/units/slider_bar_unit.h"

namespace quillora::runtime {
namespace {

template <typename Kind>
std::unique_ptr<Unit> create(LiveWindow& window, const UnitTemplate& unitTemplate)
{
    return std::make_unique<Kind>(window, unitTemplate);
}

void add(form_format::UnitKind kind, UnitCreator creator)
{
    registerUnitKind(static_cast<std::uint32_t>(kind), creator);
}

}  // namespace

void registerInputKinds()
{
    using form_format::UnitKind;
    add(UnitKind::EditBox, &create<EditBoxUnit>);
    add(UnitKind::ComboBox, &create<ComboBoxUnit>);
    add(UnitKind::ListBox, &create<ListBoxUnit>);
    add(UnitKind::SliderBar, &create<SliderBarUnit>);
    add(UnitKind::ProcessBar, &create<ProcessBarUnit>);
}

}  // namespace quillora::runtime
