#include "runtime/units/group_box_unit.h"

#include "quillora/control_unit_commands.h"
#include "runtime/units/control_support.h"

#include <QGroupBox>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace quillora::runtime {
namespace {

// Qt draws a group box's title above its frame, which takes room from the units placed near the
// top. A Windows group box draws its frame line through the middle of the title's line and the
// title over it, leaving the rest of its rectangle to the units; this paints it that way.
class GroupBoxWidget : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        constexpr int kTitleIndent = 8;
        constexpr int kTitlePadding = 2;
        QRect titleRect;
        if (!title().isEmpty())
            titleRect = QRect(kTitleIndent, 0, metrics.horizontalAdvance(title()) + 2 * kTitlePadding, metrics.height());

        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(0, metrics.height() / 2, 0, 0);
        frame.lineWidth = 1;
        frame.midLineWidth = 0;
        painter.save();
        painter.setClipRegion(QRegion(rect()).subtracted(titleRect));
        style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, this);
        painter.restore();
        if (!titleRect.isEmpty())
            style()->drawItemText(&painter, titleRect, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                                  title(), QPalette::WindowText);
    }
};

}  // namespace

QWidget* GroupBoxUnit::createWidget(QWidget* parent)
{
    box_ = new GroupBoxWidget(toQt(template_.properties.text.value_or(std::string())), parent);
    applyTemplateFont(*box_, template_.properties);
    return box_;
}

QWidget* GroupBoxUnit::containerWidget(std::uint32_t)
{
    return box_;
}

std::string GroupBoxUnit::mnemonicCaption() const
{
    return box_ ? fromQt(box_->title()) : std::string();
}

void GroupBoxUnit::windowBuilt()
{
    // The loader lets a unit without tab stop take the focus by a click; this kind never takes it.
    if (box_)
        box_->setFocusPolicy(Qt::NoFocus);
}

std::optional<RuntimeValue> GroupBoxUnit::readKindProperty(std::int32_t index)
{
    if (index == kGroupBoxCaption)
        return textValue(box_ ? box_->title() : QString());
    return std::nullopt;
}

bool GroupBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    if (index != kGroupBoxCaption || !box_)
        return false;
    box_->setTitle(toQt(payloadText(payloadLow, payloadHigh)));
    return true;
}

std::string GroupBoxUnit::describe() const
{
    return escapedForDescription(box_ ? box_->title() : QString());
}

}  // namespace quillora::runtime
