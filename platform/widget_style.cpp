#include "platform/widget_style.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextLayout>

#include <algorithm>

namespace quillora::platform {
namespace {

// A drop-down button as wide as a scroll bar of the forms' desktop, inside a 2-pixel frame: a
// 48-pixel combo box then shows two characters of 12 pixels ("居中") in full.
constexpr int kComboArrowWidth = 16;
constexpr int kComboFrameWidth = 2;
// The gap between a check or radio box's indicator and its caption.
constexpr int kIndicatorLabelSpacing = 3;

// The lines a text is laid in: its own line breaks, and with word wrap the breaks that keep each
// line within `width`.
QStringList layoutLines(const QString& text, const QFont& font, int width, bool wrap)
{
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n')) {
        if (!wrap || paragraph.isEmpty()) {
            lines.append(paragraph);
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(width, 1));
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return lines;
}

class FormWidgetStyle : public QProxyStyle {
public:
    FormWidgetStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    // Text of several lines in a font given in pixels, as the forms give every unit's font, is
    // laid one line per pitch from the alignment's edge; each line is then drawn as a single
    // line, so mnemonics and horizontal alignment stay the base style's. ("&" marks count in the
    // widths of wrapped lines; the program's multi-line texts have none.) The platform's own
    // dialogs have fonts in points and keep their face's line spacing.
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                      const QString& text, QPalette::ColorRole textRole) const override
    {
        const bool wrap = (flags & Qt::TextWordWrap) != 0;
        const int fontPixels = painter->font().pixelSize();
        if (text.isEmpty() || fontPixels <= 0 || (!wrap && !text.contains(u'\n'))) {
            QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
            return;
        }
        const QStringList lines = layoutLines(text, painter->font(), rect.width(), wrap);
        if (lines.size() == 1) {
            QProxyStyle::drawItemText(painter, rect, flags & ~Qt::TextWordWrap, palette, enabled, lines.front(),
                                      textRole);
            return;
        }
        const int pitch = formLinePitch(fontPixels);
        const int height = static_cast<int>(lines.size()) * pitch;
        int top = rect.top();
        if (flags & Qt::AlignBottom)
            top = rect.bottom() + 1 - height;
        else if (flags & Qt::AlignVCenter)
            top = rect.top() + (rect.height() - height) / 2;
        // A face whose glyphs are taller than the pitch may reach into the next line's room, but
        // not out of the rectangle.
        const int lineFlags = (flags & ~(Qt::AlignVertical_Mask | Qt::TextWordWrap)) | Qt::AlignVCenter
            | Qt::TextDontClip;
        painter->save();
        if (!(flags & Qt::TextDontClip))
            painter->setClipRect(rect, Qt::IntersectClip);
        for (qsizetype index = 0; index < lines.size(); ++index) {
            const QRect lineRect(rect.left(), top + static_cast<int>(index) * pitch, rect.width(), pitch);
            QProxyStyle::drawItemText(painter, lineRect, lineFlags, palette, enabled, lines[index], textRole);
        }
        painter->restore();
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override
    {
        if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField))
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect box = option->rect;
        QRect area;
        if (part == SC_ComboBoxArrow)
            area = QRect(box.right() + 1 - kComboArrowWidth, box.top(), kComboArrowWidth, box.height());
        else
            area = QRect(box.left() + kComboFrameWidth, box.top() + kComboFrameWidth,
                         box.width() - kComboArrowWidth - kComboFrameWidth - 1, box.height() - 2 * kComboFrameWidth);
        return visualRect(option->direction, box, area);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return kIndicatorLabelSpacing;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    // A group box's frame is an etched line around the rectangle the unit gives; the base style
    // would move it down below a title row of its own, into the units near the top.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_FrameGroupBox) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect frame = option->rect;
        painter->save();
        painter->setBrush(Qt::NoBrush);
        painter->setPen(option->palette.color(QPalette::Mid));
        painter->drawRect(frame.adjusted(0, 0, -2, -2));
        painter->setPen(option->palette.color(QPalette::Light));
        painter->drawRect(frame.adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

}  // namespace

int formLinePitch(int fontPixelSize)
{
    return std::max(fontPixelSize, 1);
}

void installFormWidgetStyle()
{
    if (!QCoreApplication::instance() || dynamic_cast<FormWidgetStyle*>(QApplication::style()))
        return;
    QApplication::setStyle(new FormWidgetStyle);
}

}  // namespace quillora::platform
