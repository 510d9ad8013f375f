// The kinds of the extended interface library (tree box, status bar, list view) and the grid
// library's data grid.
#include "runtime/core/form_template_format.h"
#include "runtime/units/data_grid.h"
#include "runtime/units/list_view.h"
#include "runtime/units/status_bar.h"
#include "runtime/units/tree_box.h"
#include "runtime/units/unit_kinds.h"

namespace quillora::runtime {
namespace {

template <typename Kind>
std::unique_ptr<Unit> create(LiveWindow& window, const UnitTemplate& unitTemplate)
{
    return std::make_unique<Kind>(window, unitTemplate);
}

}  // namespace

void registerListKinds()
{
    using form_format::UnitKind;
    registerUnitKind(static_cast<std::uint32_t>(UnitKind::TreeBox), &create<TreeBoxUnit>);
    registerUnitKind(static_cast<std::uint32_t>(UnitKind::ListView), &create<ListViewUnit>);
    registerUnitKind(static_cast<std::uint32_t>(UnitKind::StatusBar), &create<StatusBarUnit>);
    registerUnitKind(static_cast<std::uint32_t>(UnitKind::DataGrid), &create<DataGridUnit>);
}

}  // namespace quillora::runtime
