#include "runtime/units/edit_box_unit.h"

#include "quillora/control_unit_commands.h"
#include "quillora/events.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/form_template_format.h"
#include "runtime/units/control_support.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace quillora::runtime {
namespace {

// A line edit's own limit when the box has none.
constexpr int kLineEditDefaultMaxLength = 32767;

}  // namespace

QWidget* EditBoxUnit::createWidget(QWidget* parent)
{
    const QString initial = toQt(template_.properties.text.value_or(std::string()));
    QWidget* widget = nullptr;
    if (template_.properties.options & form_format::kEditBoxMultiLine) {
        plain_ = new QPlainTextEdit(parent);
        plain_->setTabChangesFocus(true);
        plain_->setPlainText(initial);
        QObject::connect(plain_, &QPlainTextEdit::textChanged, &connections_, [this] { fire(kEventContentChanged); });
        widget = plain_;
    } else {
        line_ = new QLineEdit(parent);
        line_->setText(initial);
        // textChanged, not textEdited: writing the text raises the event too, as on Windows.
        QObject::connect(line_, &QLineEdit::textChanged, &connections_, [this] { fire(kEventContentChanged); });
        widget = line_;
    }
    setAlignment(static_cast<std::uint32_t>(template_.properties.alignment.value_or(form_format::Alignment::Left)));
    applyTemplateFont(*widget, template_.properties);
    return widget;
}

QString EditBoxUnit::text() const
{
    if (line_)
        return line_->text();
    return plain_ ? plain_->toPlainText() : QString();
}

void EditBoxUnit::setText(const QString& text)
{
    if (line_)
        line_->setText(text);
    else if (plain_)
        plain_->setPlainText(text);
}

void EditBoxUnit::appendText(const QString& text)
{
    if (text.isEmpty())
        return;
    if (line_) {
        line_->setText(line_->text() + text);
        return;
    }
    if (plain_) {
        QTextCursor cursor(plain_->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }
}

void EditBoxUnit::select(int start, int length)
{
    const int size = static_cast<int>(text().size());
    start = std::clamp(start, 0, size);
    const int end = length < 0 ? size : std::min(size, start + length);
    if (line_) {
        line_->setSelection(start, end - start);
    } else if (plain_) {
        QTextCursor cursor(plain_->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        plain_->setTextCursor(cursor);
    }
}

bool EditBoxUnit::readOnly() const
{
    return line_ ? line_->isReadOnly() : plain_ && plain_->isReadOnly();
}

void EditBoxUnit::setAlignment(std::uint32_t alignment)
{
    alignment_ = alignment;
    if (line_) {
        line_->setAlignment(horizontalAlignment(alignment) | Qt::AlignVCenter);
    } else if (plain_) {
        QTextOption option = plain_->document()->defaultTextOption();
        option.setAlignment(horizontalAlignment(alignment));
        plain_->document()->setDefaultTextOption(option);
    }
}

std::optional<RuntimeValue> EditBoxUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kEditBoxText: return textValue(text());
    case kEditBoxReadOnly: return makeBool(readOnly());
    case kEditBoxMaxLength: return makeInt(maxLength_);
    case kEditBoxAlignment: return makeInt(static_cast<std::int32_t>(alignment_));
    case kEditBoxMultiLine: return makeBool(multiLine());
    default: return std::nullopt;
    }
}

bool EditBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    switch (index) {
    case kEditBoxText:
        setText(toQt(payloadText(payloadLow, payloadHigh)));
        return true;
    case kEditBoxReadOnly:
        if (line_)
            line_->setReadOnly(payloadLow != 0);
        else if (plain_)
            plain_->setReadOnly(payloadLow != 0);
        return true;
    case kEditBoxMaxLength:
        maxLength_ = std::max(0, static_cast<std::int32_t>(payloadLow));
        if (line_)
            line_->setMaxLength(maxLength_ > 0 ? maxLength_ : kLineEditDefaultMaxLength);
        return true;
    case kEditBoxAlignment:
        setAlignment(payloadLow);
        return true;
    default:
        return false;
    }
}

std::string EditBoxUnit::describe() const
{
    return escapedForDescription(text());
}

bool EditBoxUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action != "type" && action != "click")
        return Unit::automate(action, argument, problem);
    if (!userCanReach(*this, problem))
        return false;
    focusControl(*this, Qt::MouseFocusReason);
    if (action == "click")
        return true;
    if (readOnly()) {
        problem = name() + " is read only";
        return false;
    }
    typeReplacingText(*widget(), argument, multiLine());
    return true;
}

}  // namespace quillora::runtime

namespace quillora {

using runtime::CommandArguments;
using runtime::EditBoxUnit;
using runtime::requireUnit;

void editBoxAddText(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    EditBoxUnit& box = requireUnit<EditBoxUnit>(argCount, args);
    QString added;
    for (std::int32_t index = 1; index < arguments.count(); ++index)
        added += runtime::toQt(arguments.text(index));
    box.appendText(added);
}

void editBoxSelect(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    const CommandArguments arguments(argCount, args);
    requireUnit<EditBoxUnit>(argCount, args).select(arguments.int32(1, 0), arguments.int32(2, -1));
}

}  // namespace quillora
