// A window built in the test from template records, loaded on the offscreen platform, with every
// event of its units recorded in the order they fired.
#pragma once

#include "quillora/control_unit_commands.h"
#include "quillora/entry_table.h"
#include "quillora/events.h"
#include "runtime/core/events.h"
#include "runtime/core/form_template.h"
#include "runtime/core/live_window.h"
#include "runtime/core/memory.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace quillora::runtime::control_test {

namespace ff = form_format;

struct FiredEvent {
    std::string unit;
    std::int32_t event = 0;

    friend bool operator==(const FiredEvent&, const FiredEvent&) = default;
    friend std::ostream& operator<<(std::ostream& out, const FiredEvent& fired)
    {
        return out << fired.unit << ":" << fired.event;
    }
};

inline std::vector<FiredEvent>& firedEvents()
{
    static std::vector<FiredEvent> events;
    return events;
}

// What a handler bound in the test may do besides being recorded; empty = nothing.
inline std::function<HandlerResult(const FiredEvent&, const EventArguments&)>& handlerAction()
{
    static std::function<HandlerResult(const FiredEvent&, const EventArguments&)> action;
    return action;
}

// The handler of event `Event`: records the unit that raised it by name.
template <std::int32_t Event>
HandlerResult recordEvent(const EventArguments& arguments)
{
    const EventSource source = currentEventSource();
    const WindowTemplate* window = formTemplates().findWindow(source.windowId);
    const UnitTemplate* unit = window ? window->findUnit(source.unitId) : nullptr;
    const FiredEvent fired{unit ? unit->name : std::string("?"), Event};
    firedEvents().push_back(fired);
    return handlerAction() ? handlerAction()(fired, arguments) : noValue();
}

inline EventHandler recorderOf(std::int32_t event)
{
    switch (event) {
    case kEventCharacter: return &recordEvent<kEventCharacter>;
    case kEventGotFocus: return &recordEvent<kEventGotFocus>;
    case kEventLostFocus: return &recordEvent<kEventLostFocus>;
    case 0: return &recordEvent<0>;
    case 1: return &recordEvent<1>;
    case 2: return &recordEvent<2>;
    case 3: return &recordEvent<3>;
    case 4: return &recordEvent<4>;
    default: return nullptr;
    }
}

// Builds the template of one window, unit by unit in table order.
class WindowBuilder {
public:
    explicit WindowBuilder(std::uint32_t serial)
    {
        window_.id = ff::makeWindowId(serial);
        UnitTemplate record;
        record.id = ff::makeUnitId(ff::UnitIdClass::WindowRecord, 1);
        record.typeCode = static_cast<std::uint32_t>(ff::UnitKind::Window);
        record.name = "ControlWindow";
        record.rect = {50, 50, 500, 400};
        record.state = ff::kUnitVisible;
        window_.units.push_back(record);
    }

    // Adds a visible tab-stop unit; `parent` names a group box or tab added before it.
    UnitTemplate& add(ff::UnitKind kind, std::string name, UnitRect rect, std::string_view parent = {},
                      std::uint32_t page = 0)
    {
        UnitTemplate unit;
        unit.id = ff::makeUnitId(ff::UnitIdClass::Control, static_cast<std::uint32_t>(window_.units.size()));
        unit.typeCode = static_cast<std::uint32_t>(kind);
        unit.name = std::move(name);
        unit.rect = rect;
        unit.state = ff::kUnitVisible | ff::kUnitTabStop;
        unit.tableIndex = window_.units.size();
        if (!parent.empty()) {
            UnitTemplate* container = find(parent);
            unit.parent = container->id;
            unit.tabPage = page;
            // A tab lists its children page by page, the pages separated by 0.
            std::uint32_t separators = 0;
            for (std::uint32_t child : container->children)
                separators += child == 0 ? 1 : 0;
            while (separators < page) {
                container->children.push_back(0);
                ++separators;
            }
            container->children.push_back(unit.id);
        }
        window_.units.push_back(std::move(unit));
        return window_.units.back();
    }

    // Binds events of the named unit to the recorder.
    WindowBuilder& bind(std::string_view name, std::initializer_list<std::int32_t> events)
    {
        for (std::int32_t event : events)
            find(name)->bindings.push_back({event, 0, recorderOf(event)});
        return *this;
    }

    UnitTemplate* find(std::string_view name)
    {
        for (UnitTemplate& unit : window_.units)
            if (unit.name == name)
                return &unit;
        ADD_FAILURE() << "no unit " << name;
        return &window_.units.front();
    }

    WindowTemplate build()
    {
        window_.tableSize = window_.units.size();
        return window_;
    }

private:
    WindowTemplate window_;
};

// Loads the window and unloads it at the end of the test.
class ControlWindowTest : public testing::Test {
protected:
    void TearDown() override
    {
        if (windowId_ != 0)
            destroyLiveWindow(windowId_);
        releaseWindows();
        firedEvents().clear();
        handlerAction() = nullptr;
    }

    LiveWindow& load(WindowBuilder& builder)
    {
        FormTemplates templates;
        templates.windows().push_back(builder.build());
        windowId_ = templates.windows().front().id;
        installFormTemplates(std::move(templates));
        EXPECT_TRUE(loadWindow(windowId_, false, 0));
        LiveWindow* window = liveWindow(windowId_);
        EXPECT_NE(window, nullptr);
        QApplication::setActiveWindow(window->widget());
        QCoreApplication::processEvents();
        firedEvents().clear();
        return *window;
    }

    LiveWindow& window() { return *liveWindow(windowId_); }

    template <typename Kind = Unit>
    Kind& unit(std::string_view name)
    {
        auto* found = dynamic_cast<Kind*>(window().findUnitByName(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }

    RuntimeValue ref(std::string_view name)
    {
        Unit& found = unit(name);
        return makeUnitRef(found.typeCode(), windowId_, found.unitId());
    }

    // Reads kind property `index` of the named unit; a text result is copied and freed.
    RuntimeValue read(std::string_view name, std::int32_t index)
    {
        Unit& found = unit(name);
        return runtimeEntries().ReadUnitProperty(windowId_, found.unitId(), kindProperty(index), -1);
    }

    std::string readText(std::string_view name, std::int32_t index)
    {
        const RuntimeValue value = read(name, index);
        std::string text = asText(value);
        freeBlock(asPointer(value));
        return text;
    }

    void write(std::string_view name, std::int32_t index, std::int32_t number)
    {
        runtimeEntries().WriteUnitProperty(windowId_, unit(name).unitId(), kindProperty(index), -1,
                                           static_cast<std::uint32_t>(number), 0);
    }

    void writeText(std::string_view name, std::int32_t index, const char* text)
    {
        const RuntimeValue value = makePointer(TypeCode::Text, text);
        runtimeEntries().WriteUnitProperty(windowId_, unit(name).unitId(), kindProperty(index), -1, value.low,
                                           value.high);
    }

    // Calls a unit method with the unit as argument 0 and `more` after it.
    template <typename... Values>
    RuntimeValue call(CommandFunction command, std::string_view name, Values... more)
    {
        RuntimeValue arguments[] = {ref(name), more...};
        return runtimeEntries().CallLibraryCommand(kControlUnitLibrary, command,
                                                   static_cast<std::int32_t>(sizeof...(Values) + 1), arguments);
    }

    std::string callText(CommandFunction command, std::string_view name, RuntimeValue argument)
    {
        const RuntimeValue value = call(command, name, argument);
        std::string text = asText(value);
        freeBlock(asPointer(value));
        return text;
    }

    bool automate(std::string_view name, std::string_view action, std::string_view argument = {})
    {
        std::string problem;
        const bool done = unit(name).automate(action, argument, problem);
        lastProblem = problem;
        return done;
    }

    std::string lastProblem;

private:
    std::uint32_t windowId_ = 0;
};

inline RuntimeValue textArgument(const char* text)
{
    return makePointer(TypeCode::Text, text);
}

}  // namespace quillora::runtime::control_test
