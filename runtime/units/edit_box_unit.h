// EditBox (0x00010005): a box of text the user edits. One line (a line edit) unless the form
// gives the "multi-line" option; then several lines that wrap, where Enter breaks the line and
// Tab still moves the focus on. Its initial text is the form's text.
//
// Kind properties (EditBoxProperty in quillora/control_unit_commands.h):
//   0 text (writing raises "content changed")
//   1 read only (bool)
//   2 maximum length (int, characters; 0 = no limit; one-line boxes)
//   3 alignment (int: 0 left, 1 centre, 2 right)
//   4 multi-line (bool, read only)
// Methods: editBoxAddText, editBoxSelect (and unitSetFocus).
// Events: 0 content changed, by the user's typing and by writing the text. "Lost focus", which
// the application binds on most boxes, is the common event -8.
// Automation: "type TEXT" focuses the box and types TEXT over the whole old text, one key at a
// time, so every character passes the character event and the box raises "content changed" as
// it changes; "click" focuses it. describe(): the text.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class EditBoxUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;

    bool multiLine() const { return plain_ != nullptr; }
    QString text() const;
    void setText(const QString& text);
    void appendText(const QString& text);
    // Selects `length` characters from `start`; a negative length selects to the end.
    void select(int start, int length);

private:
    bool readOnly() const;
    void setAlignment(std::uint32_t alignment);

    QPointer<QLineEdit> line_;
    QPointer<QPlainTextEdit> plain_;
    std::int32_t maxLength_ = 0;
    std::uint32_t alignment_ = 0;
    QObject connections_;
};

}  // namespace quillora::runtime
