#include "runtime/units/label_unit.h"

#include "quillora/control_unit_commands.h"
#include "runtime/units/control_support.h"

#include <QLabel>
#include <QPainter>

#include <optional>

namespace quillora::runtime {
namespace {

// A label that draws its text laid by fitText: whole lines at the faces' real height, made
// smaller when they would not fit the label's rectangle. Everything else is the QLabel's.
class FittedLabel final : public QLabel {
public:
    using QLabel::QLabel;

    // Laid again only when what it is laid from has changed: fitting tries several sizes, each
    // shaping the whole text, and a label is painted far more often than its caption changes.
    const FittedText& laidText() const
    {
        const QRect box = contentsRect();
        if (!laid_ || laidFor_.text != text() || laidFor_.font != font() || laidFor_.size != box.size() ||
            laidFor_.alignment != alignment()) {
            laidFor_ = {text(), font(), box.size(), alignment()};
            laid_ = fitText(font(), text(), box.width(), box.height(), alignment());
        }
        return *laid_;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QRect box = contentsRect();
        const FittedText& laid = laidText();
        QPainter painter(this);
        painter.setFont(laid.font);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        painter.setClipRect(box);
        for (const FittedLine& line : laid.lines)
            for (const FittedPiece& piece : line.pieces)
                painter.drawText(QPoint(box.left() + piece.x, box.top() + line.baseline), piece.text);
    }

private:
    struct LaidFrom {
        QString text;
        QFont font;
        QSize size;
        Qt::Alignment alignment;
    };
    mutable LaidFrom laidFor_;
    mutable std::optional<FittedText> laid_;
};

}  // namespace

FittedText LabelUnit::laidText() const
{
    const auto* fitted = dynamic_cast<const FittedLabel*>(label_.data());
    return fitted ? fitted->laidText() : FittedText{};
}

QWidget* LabelUnit::createWidget(QWidget* parent)
{
    label_ = new FittedLabel(parent);
    // Captions are shown as written: a "<" in them is a character, not the start of a tag.
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    label_->setText(toQt(template_.properties.text.value_or(std::string())));
    setAlignment(static_cast<std::uint32_t>(template_.properties.alignment.value_or(form_format::Alignment::Left)));
    applyTemplateFont(*label_, template_.properties);
    return label_;
}

void LabelUnit::setAlignment(std::uint32_t alignment)
{
    if (label_)
        label_->setAlignment(horizontalAlignment(alignment) | Qt::AlignTop);
}

std::string LabelUnit::mnemonicCaption() const
{
    return label_ ? fromQt(label_->text()) : std::string();
}

void LabelUnit::windowBuilt()
{
    // The loader lets a unit without tab stop take the focus by a click; this kind never takes it.
    if (label_)
        label_->setFocusPolicy(Qt::NoFocus);
}

std::optional<RuntimeValue> LabelUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kLabelCaption: return textValue(label_ ? label_->text() : QString());
    case kLabelAlignment: return makeInt(label_ ? alignmentValue(label_->alignment()) : 0);
    default: return std::nullopt;
    }
}

bool LabelUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    if (!label_)
        return false;
    switch (index) {
    case kLabelCaption:
        label_->setText(toQt(payloadText(payloadLow, payloadHigh)));
        return true;
    case kLabelAlignment:
        setAlignment(payloadLow);
        return true;
    default:
        return false;
    }
}

std::string LabelUnit::describe() const
{
    return escapedForDescription(label_ ? label_->text() : QString());
}

}  // namespace quillora::runtime
