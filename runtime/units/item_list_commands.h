// The item methods that combo boxes and list boxes share: add, insert, delete, clear, count,
// item text and find. Each kind's commands forward to these with its own unit type, which offers
// items(), insertItem(), deleteItem() and clearItems().
#pragma once

#include "runtime/core/command_arguments.h"
#include "runtime/units/control_support.h"

namespace quillora::runtime {

template <typename ItemUnit>
struct ItemListCommands {
    // (unit, text) -> the new item's index.
    static void add(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        *result = makeInt(requireUnit<ItemUnit>(argCount, args).insertItem(-1, toQt(arguments.text(1))));
    }

    // (unit, index, text) -> the new item's index.
    static void insert(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        ItemUnit& unit = requireUnit<ItemUnit>(argCount, args);
        *result = makeInt(unit.insertItem(arguments.int32(1, -1), toQt(arguments.text(2))));
    }

    // (unit, index) -> bool.
    static void remove(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        *result = makeBool(requireUnit<ItemUnit>(argCount, args).deleteItem(arguments.int32(1, -1)));
    }

    static void clear(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
    {
        requireUnit<ItemUnit>(argCount, args).clearItems();
    }

    static void count(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        *result = makeInt(static_cast<std::int32_t>(requireUnit<ItemUnit>(argCount, args).items().size()));
    }

    // (unit, index) -> text; empty outside the items.
    static void text(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        const QStringList items = requireUnit<ItemUnit>(argCount, args).items();
        const std::int32_t index = arguments.int32(1, -1);
        *result = textValue(index >= 0 && index < items.size() ? items[index] : QString());
    }

    // (unit, text, from?, whole text?) -> index or -1.
    static void find(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
    {
        const CommandArguments arguments(argCount, args);
        const QStringList items = requireUnit<ItemUnit>(argCount, args).items();
        *result = makeInt(findItem(items, arguments.text(1), arguments.int32(2, 0), arguments.flag(3, false)));
    }
};

}  // namespace quillora::runtime
