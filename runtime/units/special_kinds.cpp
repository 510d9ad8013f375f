// The kinds that work out of sight: the common dialog, the animation box and the animation
// objects it is given as templates.
#include "runtime/units/unit_kinds.h"

#include "runtime/core/form_template_format.h"
#include "runtime/units/animation_box.h"
#include "runtime/units/animation_object.h"
#include "runtime/units/common_dialog.h"

namespace quillora::runtime {
namespace {

template <typename Kind>
std::unique_ptr<Unit> makeUnit(LiveWindow& window, const UnitTemplate& unitTemplate)
{
    return std::make_unique<Kind>(window, unitTemplate);
}

void registerKind(form_format::UnitKind kind, UnitCreator creator)
{
    registerUnitKind(static_cast<std::uint32_t>(kind), creator);
}

}  // namespace

void registerSpecialKinds()
{
    registerKind(form_format::UnitKind::CommonDlg, &makeUnit<CommonDialogUnit>);
    registerKind(form_format::UnitKind::CartoonBox, &makeUnit<AnimationBoxUnit>);
    registerKind(form_format::UnitKind::CartoonObject, &makeUnit<AnimationObjectUnit>);
}

}  // namespace quillora::runtime
