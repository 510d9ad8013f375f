#include "runtime/core/window_entries.h"

#include "runtime/core/error_report.h"
#include "runtime/core/form_template_format.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/memory.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_properties.h"
#include "runtime/core/window_registry.h"

#include <QWidget>

namespace quillora::runtime {
namespace {

enum CommonProperty : std::int32_t {
    kLeft = 0,
    kTop = 1,
    kWidth = 2,
    kHeight = 3,
    kTag = 4,
    kVisible = 5,
    kDisabled = 6,
    kMouseCursor = 7,
    kFirstKindProperty = 8,
};

enum MenuProperty : std::int32_t {
    kMenuCaption = 0,
    kMenuChecked = 1,
    kMenuDisabled = 2,
    kMenuVisible = 3,
};

WindowTemplate& windowTemplateOrReport(std::uint32_t windowId)
{
    WindowTemplate* found = formTemplates().findWindow(windowId);
    if (!found)
        reportRuntimeError(0, "未载入欲访问窗口组件所在的窗口");
    return *found;
}

// The template record a property reads from and writes to: the live window's working copy when
// it is loaded, the stored template otherwise.
WindowTemplate& recordsOf(std::uint32_t windowId)
{
    WindowTemplate& stored = windowTemplateOrReport(windowId);
    LiveWindow* live = liveWindow(windowId);
    return live ? live->workingTemplate() : stored;
}

UnitTemplate& unitRecordOrReport(WindowTemplate& window, std::uint32_t unitId)
{
    UnitTemplate* unit = window.findUnit(unitId);
    if (!unit)
        reportRuntimeError(0, "指定窗口或窗口组件不存在或尚未载入");
    return *unit;
}

QWidget* liveControl(std::uint32_t windowId, std::uint32_t unitId)
{
    LiveWindow* live = liveWindow(windowId);
    if (!live)
        return nullptr;
    if (form_format::unitIdClass(unitId) == 0)
        return live->widget();
    Unit* unit = live->findUnit(unitId);
    return unit ? unit->widget() : nullptr;
}

RuntimeValue readMenuProperty(WindowTemplate& window, std::uint32_t unitId, std::int32_t property)
{
    MenuItemTemplate* item = window.findMenuItem(unitId);
    if (!item)
        reportRuntimeError(0, "指定窗口或窗口组件不存在或尚未载入");
    switch (property) {
    case kMenuCaption:
        return makePointer(TypeCode::Text, newTextBlock(item->caption));
    case kMenuChecked:
        return makeBool(item->checked());
    case kMenuDisabled:
        return makeBool(item->disabled());
    case kMenuVisible:
        return makeBool(!item->hidden());
    default:
        return {};
    }
}

void writeMenuProperty(std::uint32_t windowId, WindowTemplate& window, std::uint32_t unitId, std::int32_t property,
                       std::uint32_t low, std::uint32_t high)
{
    MenuItemTemplate* item = window.findMenuItem(unitId);
    if (!item)
        reportRuntimeError(0, "指定窗口或窗口组件不存在或尚未载入");
    const auto setBit = [item](std::uint32_t bit, bool on) { item->state = on ? (item->state | bit) : (item->state & ~bit); };
    switch (property) {
    case kMenuCaption:
        item->caption = asText(RuntimeValue{low, high, static_cast<std::uint32_t>(TypeCode::Text)});
        break;
    case kMenuChecked:
        setBit(form_format::kMenuChecked, low != 0);
        break;
    case kMenuDisabled:
        setBit(form_format::kMenuDisabled, low != 0);
        break;
    case kMenuVisible:
        setBit(form_format::kMenuHidden, low == 0);
        break;
    default:
        return;
    }
    // The stored template keeps the change for later loads, as the live menu shows it now.
    if (WindowTemplate* stored = formTemplates().findWindow(windowId); stored && stored != &window)
        if (MenuItemTemplate* storedItem = stored->findMenuItem(unitId))
            *storedItem = *item;
    if (LiveWindow* live = liveWindow(windowId))
        live->rebuildMenuBar();
}

}  // namespace

RuntimeValue readUnitProperty(std::uint32_t windowId, std::uint32_t unitId, std::int32_t property, std::int32_t)
{
    WindowTemplate& window = recordsOf(windowId);
    if (form_format::isMenuItemId(unitId))
        return readMenuProperty(window, unitId, property);
    UnitTemplate& record = unitRecordOrReport(window, unitId);
    QWidget* control = liveControl(windowId, unitId);
    switch (property) {
    case kLeft:
        return makeInt(control ? control->x() : record.rect.left);
    case kTop:
        return makeInt(control ? control->y() : record.rect.top);
    case kWidth:
        return makeInt(control ? control->width() : record.rect.width);
    case kHeight:
        return makeInt(control ? control->height() : record.rect.height);
    case kTag:
        return makePointer(TypeCode::Text, newTextBlock(record.tag));
    case kVisible:
        return makeBool(control ? !control->isHidden() : record.visible());
    case kDisabled:
        return makeBool(control ? !control->isEnabled() : record.disabled());
    case kMouseCursor:
        return makePointer(TypeCode::ByteSet, newByteSetBlock(record.cursorData.data(), record.cursorData.size()));
    default:
        break;
    }
    LiveWindow* live = liveWindow(windowId);
    if (!live)
        reportRuntimeError(0, "指定窗口尚未载入");
    if (form_format::unitIdClass(unitId) == 0)
        return readWindowProperty(*live, property - kFirstKindProperty);
    Unit* unit = live->findUnit(unitId);
    if (!unit)
        reportRuntimeError(0, "指定窗口或窗口组件不存在或尚未载入");
    return unit->readKindProperty(property - kFirstKindProperty).value_or(RuntimeValue{});
}

void writeUnitProperty(std::uint32_t windowId, std::uint32_t unitId, std::int32_t property, std::int32_t member,
                       std::uint32_t low, std::uint32_t high)
{
    WindowTemplate& window = recordsOf(windowId);
    if (form_format::isMenuItemId(unitId)) {
        writeMenuProperty(windowId, window, unitId, property, low, high);
        return;
    }
    UnitTemplate& record = unitRecordOrReport(window, unitId);
    QWidget* control = liveControl(windowId, unitId);
    const auto number = static_cast<std::int32_t>(low);
    switch (property) {
    case kLeft:
        record.rect.left = number;
        break;
    case kTop:
        record.rect.top = number;
        break;
    case kWidth:
        record.rect.width = number;
        break;
    case kHeight:
        record.rect.height = number;
        break;
    case kTag:
        record.tag = asText(RuntimeValue{low, high, static_cast<std::uint32_t>(TypeCode::Text)});
        return;
    case kVisible:
        record.state = low ? (record.state | form_format::kUnitVisible) : (record.state & ~form_format::kUnitVisible);
        if (control)
            control->setVisible(low != 0);
        return;
    case kDisabled:
        record.state = low ? (record.state | form_format::kUnitDisabled) : (record.state & ~form_format::kUnitDisabled);
        if (control)
            control->setEnabled(low == 0);
        return;
    case kMouseCursor:
        return;
    default: {
        LiveWindow* live = liveWindow(windowId);
        if (!live)
            reportRuntimeError(0, "指定窗口尚未载入");
        if (form_format::unitIdClass(unitId) == 0) {
            writeWindowProperty(*live, property - kFirstKindProperty, member, low, high);
            return;
        }
        Unit* unit = live->findUnit(unitId);
        if (!unit)
            reportRuntimeError(0, "指定窗口或窗口组件不存在或尚未载入");
        unit->writeKindProperty(property - kFirstKindProperty, member, low, high);
        return;
    }
    }
    if (control)
        control->setGeometry(record.rect.left, record.rect.top, record.rect.width, record.rect.height);
}

void loadStartWindow(std::uint32_t windowId)
{
    if (!loadWindow(windowId, false, 0))
        reportRuntimeError(0, "载入启动窗口失败");
}

}  // namespace quillora::runtime
