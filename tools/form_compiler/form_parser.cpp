#include "tools/form_compiler/form_parser.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace quillora::form_compiler {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

struct LineTokens {
    std::vector<Token> tokens;
    std::string error;  // set when the line cannot be split into tokens
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == ',';
}

// Splits a line into words and quoted texts. Commas separate like blanks, so "rect 1, 2, 3, 4"
// and "rect 1 2 3 4" are the same line.
LineTokens tokenize(std::string_view line)
{
    LineTokens result;
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#')
            break;
        Token token;
        if (line[i] == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    token.text += c;
                    continue;
                }
                if (i == line.size())
                    break;
                switch (line[i++]) {
                case 'n': token.text += '\n'; break;
                case 't': token.text += '\t'; break;
                case '"': token.text += '"'; break;
                case '\\': token.text += '\\'; break;
                default:
                    result.error = "unknown escape '\\" + std::string(1, line[i - 1]) + "' in a quoted text";
                    return result;
                }
            }
            if (!closed) {
                result.error = "a quoted text is not closed on its line";
                return result;
            }
        } else {
            while (i < line.size() && !isBlank(line[i]) && line[i] != '"')
                token.text += line[i++];
        }
        result.tokens.push_back(std::move(token));
    }
    return result;
}

std::optional<std::int64_t> parseInteger(const std::string& text, std::int64_t minimum, std::int64_t maximum)
{
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size())
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kUint32Max = std::numeric_limits<std::uint32_t>::max();

class FormParser {
public:
    FormParser(const std::string& fileName, Diagnostics& diagnostics) : fileName_(fileName), diagnostics_(diagnostics)
    {
    }

    std::vector<WindowSource> parse(std::string_view text);

private:
    void error(std::string message) { diagnostics_.push_back({where_, std::move(message)}); }
    void parseLine(const std::vector<Token>& tokens);
    void startEntry(const std::vector<Token>& tokens);
    void parseProperty(UnitSource& entry, const std::string& keyword, const std::vector<Token>& args);

    bool integerArg(const Token& token, std::int64_t minimum, std::int64_t maximum, std::int64_t& out)
    {
        const auto value = parseInteger(token.text, minimum, maximum);
        if (!value) {
            error("'" + token.text + "' is not a whole number from " + std::to_string(minimum) + " to " +
                  std::to_string(maximum));
            return false;
        }
        out = *value;
        return true;
    }

    const std::string& fileName_;
    Diagnostics& diagnostics_;
    SourceLocation where_;
    std::vector<WindowSource> windows_;
    UnitSource* current_ = nullptr;
};

std::vector<WindowSource> FormParser::parse(std::string_view text)
{
    where_.file = fileName_;
    where_.line = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        ++where_.line;
        const LineTokens line = tokenize(text.substr(start, end - start));
        if (!line.error.empty())
            error(line.error);
        else if (!line.tokens.empty())
            parseLine(line.tokens);
        start = end + 1;
    }
    return std::move(windows_);
}

void FormParser::parseLine(const std::vector<Token>& tokens)
{
    const Token& first = tokens.front();
    if (!first.quoted && (first.text == "window" || first.text == "unit" || first.text == "menu")) {
        startEntry(tokens);
        return;
    }
    if (first.quoted) {
        error("a line starts with a keyword, not with a quoted text");
        return;
    }
    if (!current_) {
        error("'" + first.text + "' comes before the first window");
        return;
    }
    parseProperty(*current_, first.text, std::vector<Token>(tokens.begin() + 1, tokens.end()));
}

void FormParser::startEntry(const std::vector<Token>& tokens)
{
    const std::string& what = tokens.front().text;
    const std::size_t expected = what == "unit" ? 3 : 2;
    if (tokens.size() != expected) {
        error(what == "unit" ? "a unit line is 'unit NAME KIND'" : "a " + what + " line is '" + what + " NAME'");
        current_ = nullptr;
        return;
    }
    UnitSource entry;
    entry.name = tokens[1].text;
    entry.where = where_;
    if (what == "window") {
        entry.role = EntryRole::Window;
        entry.kindName = "window";
        windows_.push_back(WindowSource{entry.name, where_, {}});
    } else if (windows_.empty()) {
        error("a " + what + " comes before the first window");
        current_ = nullptr;
        return;
    } else if (what == "unit") {
        entry.role = EntryRole::Control;
        entry.kindName = tokens[2].text;
    } else {
        entry.role = EntryRole::MenuItem;
        entry.kindName = "menu";
    }
    windows_.back().entries.push_back(std::move(entry));
    current_ = &windows_.back().entries.back();
}

void FormParser::parseProperty(UnitSource& entry, const std::string& keyword, const std::vector<Token>& args)
{
    const bool repeatable = keyword == "item" || keyword == "node" || keyword == "on";
    if (!repeatable) {
        const bool given = std::any_of(entry.keywords.begin(), entry.keywords.end(),
                                       [&](const auto& seen) { return seen.first == keyword; });
        if (given) {
            error("'" + keyword + "' is given twice for " + entry.name);
            return;
        }
    }
    const auto needs = [&](std::size_t minimum, std::size_t maximum, const char* shape) {
        if (args.size() >= minimum && args.size() <= maximum)
            return true;
        error("'" + keyword + "' takes " + shape);
        return false;
    };
    const std::size_t any = std::numeric_limits<std::size_t>::max();
    std::int64_t number = 0;
    std::int64_t other = 0;
    bool known = true;

    if (keyword == "text" || keyword == "tooltip" || keyword == "tag" || keyword == "remark") {
        if (!needs(1, 1, "one text"))
            return;
        if (keyword == "text")
            entry.text = args[0].text;
        else if (keyword == "tooltip")
            entry.tooltip = args[0].text;
        else if (keyword == "tag")
            entry.tag = args[0].text;
        else
            entry.remark = args[0].text;
    } else if (keyword == "rect") {
        if (!needs(4, 4, "left, top, width and height"))
            return;
        std::array<std::int32_t, 4> rect{};
        for (std::size_t i = 0; i < 4; ++i) {
            if (!integerArg(args[i], kInt32Min, kInt32Max, number))
                return;
            rect[i] = static_cast<std::int32_t>(number);
        }
        entry.rect = rect;
    } else if (keyword == "parent") {
        if (!needs(1, 3, "a unit name, optionally followed by 'page N'"))
            return;
        entry.parent = args[0].text == "window" ? std::string() : args[0].text;
        entry.parentWhere = where_;
        if (args.size() == 2 || (args.size() == 3 && args[1].text != "page")) {
            error("'parent' takes a unit name, optionally followed by 'page N'");
            return;
        }
        if (args.size() == 3) {
            if (!integerArg(args[2], 1, 0xFFFF, number))
                return;
            entry.page = static_cast<std::uint32_t>(number);
        }
    } else if (keyword == "state" || keyword == "options") {
        WordList list{{}, where_};
        for (const Token& arg : args)
            list.words.push_back(arg.text);
        (keyword == "state" ? entry.state : entry.options) = std::move(list);
    } else if (keyword == "item") {
        if (!needs(1, 1, "one text"))
            return;
        entry.items.push_back(args[0].text);
    } else if (keyword == "node") {
        if (!needs(2, 6, "a level, a caption and optionally 'image N' and 'value N'"))
            return;
        TreeNodeSource node;
        if (!integerArg(args[0], 1, 0xFFFF, number))
            return;
        node.level = static_cast<std::uint32_t>(number);
        node.caption = args[1].text;
        for (std::size_t i = 2; i < args.size(); i += 2) {
            if (i + 1 >= args.size() || (args[i].text != "image" && args[i].text != "value")) {
                error("after a node's caption come 'image N' and 'value N'");
                return;
            }
            if (!integerArg(args[i + 1], kInt32Min, kInt32Max, number))
                return;
            (args[i].text == "image" ? node.image : node.value) = static_cast<std::int32_t>(number);
        }
        entry.nodes.push_back(std::move(node));
    } else if (keyword == "on") {
        if (!needs(2, 2, "an event and a handler name"))
            return;
        entry.bindings.push_back(BindingSource{args[0].text, args[1].text, where_, 0});
    } else if (keyword == "range") {
        if (!needs(2, 2, "a minimum and a maximum") || !integerArg(args[0], kInt32Min, kInt32Max, number) ||
            !integerArg(args[1], kInt32Min, kInt32Max, other))
            return;
        entry.range = {static_cast<std::int32_t>(number), static_cast<std::int32_t>(other)};
    } else if (keyword == "position" || keyword == "selected") {
        if (!needs(1, 1, "one number") || !integerArg(args[0], kInt32Min, kInt32Max, number))
            return;
        (keyword == "position" ? entry.position : entry.selected) = static_cast<std::int32_t>(number);
    } else if (keyword == "checked") {
        if (!needs(0, 0, "nothing"))
            return;
        entry.checked = true;
    } else if (keyword == "align" || keyword == "style" || keyword == "background") {
        if (!needs(1, 1, "one word"))
            return;
        (keyword == "align" ? entry.align : keyword == "style" ? entry.style : entry.background) = args[0].text;
    } else if (keyword == "font") {
        if (!needs(2, any, "a face name, a size and optionally bold, italic, underline, strikeout, 'angle N'") ||
            !integerArg(args[1], 1, 0xFFFF, number))
            return;
        FontSource font{args[0].text, static_cast<std::int32_t>(number)};
        for (std::size_t i = 2; i < args.size(); ++i) {
            const std::string& word = args[i].text;
            if (word == "bold")
                font.bold = true;
            else if (word == "italic")
                font.italic = true;
            else if (word == "underline")
                font.underline = true;
            else if (word == "strikeout")
                font.strikeOut = true;
            else if (word == "angle" && i + 1 < args.size()) {
                if (!integerArg(args[++i], 0, 3599, number))
                    return;
                font.angleTenths = static_cast<std::int32_t>(number);
            } else {
                error("'" + word + "' is not a font style");
                return;
            }
        }
        entry.font = std::move(font);
    } else if (keyword == "level" || keyword == "shortcut" || keyword == "focus-order") {
        if (!needs(1, 1, "one number") || !integerArg(args[0], 0, kUint32Max, number))
            return;
        const auto value = static_cast<std::uint32_t>(number);
        (keyword == "level" ? entry.level : keyword == "shortcut" ? entry.shortcut : entry.focusOrder) = value;
    } else if (keyword == "bindings-from") {
        if (!needs(1, 1, "a unit name"))
            return;
        entry.bindingsFrom = args[0].text;
        entry.bindingsFromWhere = where_;
    } else {
        known = false;
        error("'" + keyword + "' is not a property");
    }
    if (known)
        entry.keywords.emplace_back(keyword, where_);
}

}  // namespace

std::vector<WindowSource> parseFormFile(std::string_view text, const std::string& fileName, Diagnostics& diagnostics)
{
    return FormParser(fileName, diagnostics).parse(text);
}

}  // namespace quillora::form_compiler
