#include "runtime/units/unit_kinds.h"

#include "runtime/core/form_template_format.h"
#include "runtime/printing/draw_panel.h"
#include "runtime/printing/printer_unit.h"

#include <memory>

namespace quillora::runtime {

void registerPrintingKinds()
{
    registerUnitKind(static_cast<std::uint32_t>(form_format::UnitKind::DrawPanel),
                     [](LiveWindow& window, const UnitTemplate& unitTemplate) -> std::unique_ptr<Unit> {
                         return std::make_unique<DrawPanelUnit>(window, unitTemplate);
                     });
    registerUnitKind(static_cast<std::uint32_t>(form_format::UnitKind::Printer),
                     [](LiveWindow& window, const UnitTemplate& unitTemplate) -> std::unique_ptr<Unit> {
                         return std::make_unique<PrinterUnit>(window, unitTemplate);
                     });
}

}  // namespace quillora::runtime
