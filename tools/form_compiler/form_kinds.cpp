#include "tools/form_compiler/form_kinds.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

#include "runtime/core/form_template_format.h"

namespace quillora::form_compiler {
namespace {

namespace ff = form_format;

// Every unit can be placed, shown and tagged and can bind events; windows and menu items have
// their own sets.
const std::initializer_list<std::string_view> kControlProperties = {
    "rect", "parent", "state", "tag", "remark", "focus-order", "bindings-from", "on"};
const std::initializer_list<std::string_view> kWindowProperties = {
    "rect", "state", "tag", "remark", "on", "text", "options", "background", "font"};
const std::initializer_list<std::string_view> kMenuProperties = {"text", "level", "shortcut", "state", "on", "remark"};

// Mouse, focus and key events that every unit raises.
const std::vector<NamedValue> kCommonEvents = {
    {"鼠标左键被按下", -1}, {"鼠标左键被放开", -2}, {"被双击", -3},      {"鼠标右键被按下", -4},
    {"鼠标右键被放开", -5}, {"鼠标位置被移动", -6}, {"获得焦点", -7},    {"失去焦点", -8},
    {"按下某键", -9},       {"放开某键", -10},       {"字符输入", -11},   {"滚轮被滚动", -12},
};

const std::vector<NamedValue> kWindowEvents = {
    {"创建完毕", 0}, {"可否被关闭", 1}, {"将被销毁", 2},  {"位置被改变", 3}, {"尺寸被改变", 4},
    {"被激活", 5},   {"被取消激活", 6}, {"首次激活", 8},  {"托盘事件", 9},   {"被显示", 10},
    {"被隐藏", 11},
};

const std::vector<NamedValue> kClickEvents = {{"被单击", 0}};

const std::vector<NamedValue> kComboBoxEvents = {
    {"列表项被选择", 0}, {"编辑内容被改变", 1}, {"将弹出列表", 2}, {"列表被关闭", 3}, {"双击选择", 4},
};

const std::vector<NamedValue> kWindowOptions = {
    {"drag-move", ff::kWindowMoveByDragging}, {"enter-moves-focus", ff::kWindowEnterMovesFocus},
    {"esc-closes", ff::kWindowEscCloses},     {"help-key", ff::kWindowHelpKey},
    {"topmost", ff::kWindowTopmost},
};

const std::vector<NamedValue> kEditBoxOptions = {{"multi-line", ff::kEditBoxMultiLine}};

const std::vector<NamedValue> kListViewOptions = {
    {"full-row-select", ff::kListViewFullRowSelect},
    {"grid-lines", ff::kListViewGridLines},
};

constexpr std::uint32_t code(ff::UnitKind kind)
{
    return static_cast<std::uint32_t>(kind);
}

std::vector<std::string_view> with(std::initializer_list<std::string_view> base,
                                   std::initializer_list<std::string_view> extra)
{
    std::vector<std::string_view> result(base);
    result.insert(result.end(), extra);
    return result;
}

std::vector<KindRules> buildKinds()
{
    using K = ff::UnitKind;
    const auto control = [](std::initializer_list<std::string_view> extra) { return with(kControlProperties, extra); };
    std::vector<KindRules> kinds = {
        {"window", code(K::Window), with(kWindowProperties, {}), kWindowEvents, kWindowOptions},
        {"menu", code(K::Menu), with(kMenuProperties, {}), {{"被选择", 0}}, {}, false, false},
        {"EditBox", code(K::EditBox), control({"text", "align", "options", "font"}), {{"内容被改变", 0}}, kEditBoxOptions},
        {"DrawPanel", code(K::DrawPanel), control({}), {}, {}},
        {"GroupBox", code(K::GroupBox), control({"text", "font"}), {}, {}, true},
        {"Label", code(K::Label), control({"text", "align", "font"}), {}, {}},
        {"Button", code(K::Button), control({"text", "font"}), kClickEvents, {}},
        {"CheckBox", code(K::CheckBox), control({"text", "checked", "font"}), kClickEvents, {}},
        {"RadioBox", code(K::RadioBox), control({"text", "checked", "font"}), kClickEvents, {}},
        {"ComboBox", code(K::ComboBox), control({"item", "selected", "style", "font"}), kComboBoxEvents, {}},
        {"ListBox", code(K::ListBox), control({"item", "selected", "font"}), {{"列表项被选择", 0}}, {}},
        {"ProcessBar", code(K::ProcessBar), control({"range", "position"}), {}, {}},
        {"SliderBar", code(K::SliderBar), control({"range", "position"}), {{"位置被改变", 0}}, {}},
        {"Tab", code(K::Tab), control({"item", "selected", "font"}), {}, {}, true},
        {"CommonDlg", code(K::CommonDlg), control({}), {}, {}},
        {"printer", code(K::Printer), control({}), {}, {}},
        {"DataGrid", code(K::DataGrid), control({}), {}, {}},
        {"TreeBox", code(K::TreeBox), control({"node"}), {{"当前表项被改变", 0}}, {}},
        {"StatusBar", code(K::StatusBar), control({"text"}), {}, {}},
        {"ListView", code(K::ListView), control({"style", "options"}), {}, kListViewOptions},
        {"SuperBtn", code(K::SuperBtn), control({"text", "tooltip", "font"}), kClickEvents, {}},
        {"CartoonBox", code(K::CartoonBox), control({}), {}, {}},
        {"CartoonObject", code(K::CartoonObject), control({}), {}, {}},
    };
    return kinds;
}

std::optional<std::uint32_t> lookupWord(std::initializer_list<NamedValue> words, std::string_view word)
{
    for (const NamedValue& entry : words)
        if (entry.name == word)
            return static_cast<std::uint32_t>(entry.value);
    return std::nullopt;
}

}  // namespace

const KindRules* findKind(std::string_view name)
{
    static const std::vector<KindRules> kinds = buildKinds();
    const auto found =
        std::find_if(kinds.begin(), kinds.end(), [&](const KindRules& kind) { return kind.name == name; });
    return found == kinds.end() ? nullptr : &*found;
}

std::optional<std::int32_t> eventNumber(const KindRules& kind, std::string_view event)
{
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(event.data(), event.data() + event.size(), number);
    const bool numeric = error == std::errc{} && end == event.data() + event.size();
    const auto matches = [&](const NamedValue& entry) { return numeric ? entry.value == number : entry.name == event; };
    for (const NamedValue& entry : kind.events)
        if (matches(entry))
            return entry.value;
    if (kind.commonEvents)
        for (const NamedValue& entry : kCommonEvents)
            if (matches(entry))
                return entry.value;
    return std::nullopt;
}

std::optional<std::uint32_t> alignmentValue(std::string_view word)
{
    return lookupWord({{"left", 0}, {"centre", 1}, {"center", 1}, {"right", 2}}, word);
}

std::optional<std::uint32_t> styleValue(std::string_view kind, std::string_view word)
{
    if (kind == "ListView")
        return lookupWord({{"icon", 0}, {"small-icon", 1}, {"list", 2}, {"report", 3}}, word);
    if (kind == "ComboBox")
        return lookupWord({{"drop-down", 0}, {"drop-down-list", 1}}, word);
    return std::nullopt;
}

std::optional<std::uint32_t> backgroundModeValue(std::string_view word)
{
    return lookupWord({{"top-left", 0}, {"tiled", 1}, {"stretched", 2}, {"centred", 3}}, word);
}

}  // namespace quillora::form_compiler
