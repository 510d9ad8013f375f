#include "runtime/units/common_dialog.h"

#include "platform/device_fonts.h"
#include "platform/message_box.h"
#include "quillora/special_unit_commands.h"
#include "runtime/automation/driver.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/memory.h"

#include <QFont>
#include <QFontDialog>
#include <QFontInfo>
#include <QPointer>
#include <QWidget>

#include <charconv>
#include <cmath>
#include <vector>

namespace quillora::runtime {
namespace {

constexpr std::string_view kDefaultFace = "宋体";
constexpr std::int32_t kDefaultPoints = 9;

struct AnswerWord {
    std::string text;
    bool quoted = false;
};

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view word)
{
    if (text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

// Splits at blanks; a double-quoted stretch is one word, blanks and all. An unclosed quote runs
// to the end of the answer.
std::vector<AnswerWord> splitAnswer(std::string_view answer)
{
    std::vector<AnswerWord> words;
    std::size_t at = 0;
    while (at < answer.size()) {
        if (answer[at] == ' ' || answer[at] == '\t') {
            ++at;
            continue;
        }
        if (answer[at] == '"') {
            const std::size_t close = answer.find('"', at + 1);
            const std::size_t end = close == std::string_view::npos ? answer.size() : close;
            words.push_back({std::string(answer.substr(at + 1, end - at - 1)), true});
            at = end == answer.size() ? end : end + 1;
            continue;
        }
        const std::size_t end = answer.find_first_of(" \t", at);
        const std::size_t stop = end == std::string_view::npos ? answer.size() : end;
        words.push_back({std::string(answer.substr(at, stop - at)), false});
        at = stop;
    }
    return words;
}

// Takes a trailing style word into `choice`; false when the word is none of them.
bool takeStyleWord(std::string_view word, FontChoice& choice)
{
    if (equalsIgnoringAsciiCase(word, "bold"))
        choice.bold = true;
    else if (equalsIgnoringAsciiCase(word, "italic"))
        choice.italic = true;
    else if (equalsIgnoringAsciiCase(word, "underline"))
        choice.underline = true;
    else if (equalsIgnoringAsciiCase(word, "strikeout"))
        choice.strikeOut = true;
    else
        return false;
    return true;
}

std::optional<std::int32_t> pointsOf(std::string_view word)
{
    std::int32_t points = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), points);
    if (error != std::errc() || end != word.data() + word.size() || points < 1 || points > kMaxFontDialogPoints)
        return std::nullopt;
    return points;
}

QString toQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string_view payloadText(std::uint32_t low, std::uint32_t high)
{
    return asText(RuntimeValue{low, high, static_cast<std::uint32_t>(TypeCode::Text)});
}

// Shows the desktop's font dialog preset with `preset` and waits for the user. The dialog runs a
// nested event loop in which anything may happen, its owner window closing included, so it is
// held by a guarded pointer, and the preset is a copy: nothing of the caller is touched once the
// dialog has opened.
std::optional<FontChoice> askFontOnScreen(const FontChoice preset, const std::string& title, QWidget* owner)
{
    // The program's Chinese face names only resolve once the substitutions are in place.
    platform::installChineseFaceSubstitutions();
    QFont presetFont(toQt(preset.faceName.empty() ? kDefaultFace : preset.faceName));
    presetFont.setPointSize(preset.sizePoints >= 1 && preset.sizePoints <= kMaxFontDialogPoints ? preset.sizePoints
                                                                                                : kDefaultPoints);
    presetFont.setBold(preset.bold);
    presetFont.setItalic(preset.italic);
    presetFont.setUnderline(preset.underline);
    presetFont.setStrikeOut(preset.strikeOut);

    QPointer<QFontDialog> dialog = new QFontDialog(presetFont, owner);
    if (!title.empty())
        dialog->setWindowTitle(toQt(title));
    const int outcome = dialog->exec();
    if (!dialog)
        return std::nullopt;
    const QFont picked = dialog->selectedFont();
    delete dialog.data();
    if (outcome != QDialog::Accepted)
        return std::nullopt;

    FontChoice choice;
    // The dialog lists the installed face a name like 宋体 stands for. When the user kept that
    // face, the program keeps its own name for it, so that the name it stores stays the one it
    // gave.
    const QString pickedFamily = picked.family();
    choice.faceName = pickedFamily == QFontInfo(presetFont).family() ? preset.faceName : pickedFamily.toStdString();
    choice.sizePoints = picked.pointSize() > 0 ? picked.pointSize()
                                               : static_cast<std::int32_t>(std::lround(picked.pointSizeF()));
    if (choice.sizePoints < 1)
        choice.sizePoints = preset.sizePoints;
    choice.bold = picked.bold();
    choice.italic = picked.italic();
    choice.underline = picked.underline();
    choice.strikeOut = picked.strikeOut();
    return choice;
}

}  // namespace

std::optional<FontChoice> fontChoiceFromAnswer(std::string_view answer)
{
    std::vector<AnswerWord> words = splitAnswer(answer);
    if (words.size() == 1 && !words.front().quoted && equalsIgnoringAsciiCase(words.front().text, "cancel"))
        return std::nullopt;

    FontChoice choice;
    while (!words.empty() && !words.back().quoted && takeStyleWord(words.back().text, choice))
        words.pop_back();
    // What is left is the face, one word or more, and the size.
    if (words.size() < 2 || words.back().quoted)
        return std::nullopt;
    const std::optional<std::int32_t> points = pointsOf(words.back().text);
    if (!points)
        return std::nullopt;
    choice.sizePoints = *points;
    words.pop_back();

    if (words.size() == 1) {
        choice.faceName = words.front().text;
    } else {
        for (const AnswerWord& word : words) {
            if (word.quoted)
                return std::nullopt;
            choice.faceName += (choice.faceName.empty() ? "" : " ") + word.text;
        }
    }
    if (choice.faceName.empty())
        return std::nullopt;
    return choice;
}

CommonDialogUnit::CommonDialogUnit(LiveWindow& window, const UnitTemplate& unitTemplate) : Unit(window, unitTemplate)
{
    font_.faceName = std::string(kDefaultFace);
    font_.sizePoints = kDefaultPoints;
    if (const auto& templateFont = template_.properties.font) {
        if (!templateFont->faceName.empty())
            font_.faceName = templateFont->faceName;
        font_.sizePoints = templateFont->sizePoints;
        font_.bold = templateFont->bold;
        font_.italic = templateFont->italic;
        font_.underline = templateFont->underline;
        font_.strikeOut = templateFont->strikeOut;
    }
    if (template_.properties.text)
        title_ = *template_.properties.text;
}

QWidget* CommonDialogUnit::createWidget(QWidget* parent)
{
    // A stand-in that keeps the unit's place and common properties; it is never shown.
    return new QWidget(parent);
}

std::optional<RuntimeValue> CommonDialogUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kCommonDialogType:
        return makeInt(dialogType_);
    case kCommonDialogTitle:
        return makePointer(TypeCode::Text, newTextBlock(title_));
    case kCommonDialogFontName:
        return makePointer(TypeCode::Text, newTextBlock(font_.faceName));
    case kCommonDialogFontSize:
        return makeInt(font_.sizePoints);
    case kCommonDialogFontBold:
        return makeBool(font_.bold);
    case kCommonDialogFontItalic:
        return makeBool(font_.italic);
    case kCommonDialogFontUnderline:
        return makeBool(font_.underline);
    case kCommonDialogFontStrikeOut:
        return makeBool(font_.strikeOut);
    default:
        return std::nullopt;
    }
}

bool CommonDialogUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow,
                                         std::uint32_t payloadHigh)
{
    const auto number = static_cast<std::int32_t>(payloadLow);
    switch (index) {
    case kCommonDialogType:
        dialogType_ = number;
        return true;
    case kCommonDialogTitle:
        title_ = payloadText(payloadLow, payloadHigh);
        return true;
    case kCommonDialogFontName:
        font_.faceName = payloadText(payloadLow, payloadHigh);
        return true;
    case kCommonDialogFontSize:
        font_.sizePoints = number;
        return true;
    case kCommonDialogFontBold:
        font_.bold = payloadLow != 0;
        return true;
    case kCommonDialogFontItalic:
        font_.italic = payloadLow != 0;
        return true;
    case kCommonDialogFontUnderline:
        font_.underline = payloadLow != 0;
        return true;
    case kCommonDialogFontStrikeOut:
        font_.strikeOut = payloadLow != 0;
        return true;
    default:
        return false;
    }
}

std::string CommonDialogUnit::describe() const
{
    std::string shown = "font " + font_.faceName + " " + std::to_string(font_.sizePoints);
    if (font_.bold)
        shown += " bold";
    if (font_.italic)
        shown += " italic";
    if (font_.underline)
        shown += " underline";
    if (font_.strikeOut)
        shown += " strikeout";
    return shown;
}

bool CommonDialogUnit::open()
{
    if (dialogType_ != kCommonDialogFont)
        return false;
    std::optional<FontChoice> chosen;
    if (automationRunning()) {
        chosen = fontChoiceFromAnswer(takeAutomationAnswer("font").value_or("cancel"));
    } else if (platform::hasDisplay()) {
        const std::uint32_t ownWindow = windowId();
        const std::uint32_t ownUnit = unitId();
        chosen = askFontOnScreen(font_, title_, window().widget());
        // A handler run while the dialog was open may have closed this window, and this unit
        // with it.
        if (findLiveUnit(ownWindow, ownUnit) != this)
            return false;
    }
    if (!chosen)
        return false;
    font_ = *chosen;
    return true;
}

}  // namespace quillora::runtime

namespace quillora {

void commonDialogOpen(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    auto* dialog = runtime::unitOf<runtime::CommonDialogUnit>(arguments.at(0));
    *result = makeBool(dialog && dialog->open());
}

}  // namespace quillora
