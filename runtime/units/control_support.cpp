#include "runtime/units/control_support.h"

#include "platform/device_fonts.h"
#include "quillora/control_unit_commands.h"
#include "runtime/core/form_template.h"
#include "runtime/core/memory.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <algorithm>
#include <charconv>

namespace quillora::runtime {
namespace {

// The forms' pixel positions were laid out for fonts at this resolution.
constexpr int kFormDotsPerInch = 96;
constexpr int kPointsPerInch = 72;

char asciiLower(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// The Qt key of a typed character: printable ASCII has its own key code (letters the upper-case
// one); other characters travel in the event's text alone.
int keyOfCharacter(char32_t character)
{
    if (character >= 'a' && character <= 'z')
        return Qt::Key_A + static_cast<int>(character - 'a');
    if (character >= 0x20 && character < 0x7F)
        return static_cast<int>(character);
    return 0;
}

void sendKey(QWidget& target, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&target, &press);
    // A character that a handler replaced comes back as a posted key event; deliver it now, so
    // that it lands where it was typed and not after the rest of the text.
    QCoreApplication::sendPostedEvents(&target, QEvent::KeyPress);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&target, &release);
}

}  // namespace

RuntimeValue textValue(const QString& text)
{
    return makePointer(TypeCode::Text, newTextBlock(fromQt(text)));
}

std::string escapedForDescription(const QString& text)
{
    std::string result;
    for (const char byte : fromQt(text)) {
        if (byte == '\n')
            result += "\\n";
        else if (byte == '\t')
            result += "\\t";
        else if (byte != '\r')
            result += byte;
    }
    return result;
}

std::string describedSelection(const QStringList& items, int index)
{
    const QString text = index >= 0 && index < items.size() ? items[index] : QString();
    return "\nselected\t" + std::to_string(index) + "\t" + escapedForDescription(text);
}

std::vector<std::string> utf8Texts(const QStringList& texts)
{
    std::vector<std::string> converted;
    converted.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& text : texts)
        converted.push_back(text.toStdString());
    return converted;
}

std::string describedItems(const QStringList& items)
{
    std::string lines;
    for (qsizetype index = 0; index < items.size(); ++index)
        lines += "\nitem\t" + std::to_string(index) + "\t" + escapedForDescription(items[index]);
    return lines;
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t at = 0; at < prefix.size(); ++at)
        if (asciiLower(text[at]) != asciiLower(prefix[at]))
            return false;
    return true;
}

int findItem(const QStringList& items, std::string_view text, int from, bool wholeText)
{
    for (qsizetype index = std::max(from, 0); index < items.size(); ++index) {
        const std::string item = fromQt(items[index]);
        if ((!wholeText || item.size() == text.size()) && startsWithIgnoringAsciiCase(item, text))
            return static_cast<int>(index);
    }
    return -1;
}

void applyTemplateFont(QWidget& widget, const KindProperties& properties)
{
    platform::installChineseFaceSubstitutions();
    const FontTemplate spec = properties.font.value_or(FontTemplate{});
    QFont font(toQt(spec.faceName.empty() ? std::string_view(kDefaultFaceName) : std::string_view(spec.faceName)));
    font.setPixelSize(std::max(1, (std::max(1, spec.sizePoints) * kFormDotsPerInch + kPointsPerInch / 2) / kPointsPerInch));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    widget.setFont(font);
}

Qt::Alignment horizontalAlignment(std::uint32_t alignment)
{
    switch (alignment) {
    case 1: return Qt::AlignHCenter;
    case 2: return Qt::AlignRight;
    default: return Qt::AlignLeft;
    }
}

std::int32_t alignmentValue(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return 1;
    if (alignment & Qt::AlignRight)
        return 2;
    return 0;
}

std::optional<int> parseWholeNumber(std::string_view text)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

int itemForSelection(const QStringList& items, std::string_view argument)
{
    if (const std::optional<int> index = parseWholeNumber(argument); index && *index >= 0 && *index < items.size())
        return *index;
    return static_cast<int>(items.indexOf(toQt(argument)));
}

std::optional<bool> parseTick(std::string_view argument)
{
    if (argument == "1" || argument == "on" || argument == "true")
        return true;
    if (argument == "0" || argument == "off" || argument == "false")
        return false;
    return std::nullopt;
}

bool userCanReach(const Unit& unit, std::string& problem)
{
    const QWidget* widget = unit.widget();
    if (!widget)
        problem = unit.name() + " has no control";
    else if (!widget->isVisible())
        problem = unit.name() + " is not visible";
    else if (!widget->isEnabled())
        problem = unit.name() + " is disabled";
    else
        return true;
    return false;
}

bool focusControl(const Unit& unit, Qt::FocusReason reason)
{
    QWidget* control = unit.widget();
    if (!control || !control->isVisible() || !control->isEnabled())
        return false;
    control->activateWindow();
    control->setFocus(reason);
    return true;
}

void typeReplacingText(QWidget& target, std::string_view text, bool lineBreaksAsEnter)
{
    if (auto* line = qobject_cast<QLineEdit*>(&target))
        line->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(&target))
        plain->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(&target); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
    if (text.empty()) {
        sendKey(target, Qt::Key_Delete, QString());
        return;
    }
    for (const char32_t character : toQt(text).toUcs4()) {
        if (character == '\r')
            continue;
        if (character == '\n') {
            if (lineBreaksAsEnter)
                sendKey(target, Qt::Key_Return, QStringLiteral("\r"));
            continue;
        }
        sendKey(target, keyOfCharacter(character), QString::fromUcs4(&character, 1));
    }
}

}  // namespace quillora::runtime

namespace quillora {

// The one method every control unit has; it lives with the helpers the kinds share.
void unitSetFocus(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    runtime::Unit* unit = argCount >= 1 && args ? runtime::findLiveUnit(args[0].low, args[0].high) : nullptr;
    if (!unit)
        runtime::reportRuntimeError(0, runtime::kMissingUnitMessage);
    *result = makeBool(runtime::focusControl(*unit, Qt::OtherFocusReason));
}

}  // namespace quillora
