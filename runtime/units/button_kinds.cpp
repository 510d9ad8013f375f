#include "runtime/units/unit_kinds.h"

#include "runtime/core/form_template_format.h"
#include "runtime/units/button_unit.h"
#include "runtime/units/check_box_unit.h"
#include "runtime/units/group_box_unit.h"
#include "runtime/units/label_unit.h"
#include "runtime/units/picture_button_unit.h"
#include "runtime/units/radio_box_unit.h"

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

void registerButtonKinds()
{
    using form_format::UnitKind;
    add(UnitKind::Button, &create<ButtonUnit>);
    add(UnitKind::SuperBtn, &create<PictureButtonUnit>);
    add(UnitKind::CheckBox, &create<CheckBoxUnit>);
    add(UnitKind::RadioBox, &create<RadioBoxUnit>);
    add(UnitKind::Label, &create<LabelUnit>);
    add(UnitKind::GroupBox, &create<GroupBoxUnit>);
}

}  // namespace quillora::runtime
