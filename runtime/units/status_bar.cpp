#include "runtime/units/status_bar.h"

#include "quillora/list_unit_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/units/control_support.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

namespace quillora::runtime {

// One part of the bar: a sunken panel with one line of plain text, drawn as a plain-text label
// draws it (half an "x" in from the frame, centred in height, cut at the edge). Its size does not
// depend on its text, so a new text is never measured nor laid out. A search writes a message per
// file found and lets events through on every folder; a repaint on each would cost more than the
// search itself, so the part repaints at most once a frame, and always with the latest text.
class StatusBarPart : public QFrame {
public:
    explicit StatusBarPart(QWidget* parent) : QFrame(parent)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        repaintLater_.setSingleShot(true);
        QObject::connect(&repaintLater_, &QTimer::timeout, this, [this] { update(contentsRect()); });
    }

    const QString& text() const { return text_; }

    void setText(const QString& text)
    {
        if (text == text_)
            return;
        text_ = text;
        if (repaintLater_.isActive())
            return;  // the coming repaint shows this text
        const qint64 sincePaint = lastPaint_.isValid() ? lastPaint_.elapsed() : kFrameMilliseconds;
        if (sincePaint >= kFrameMilliseconds)
            update(contentsRect());
        else
            repaintLater_.start(static_cast<int>(kFrameMilliseconds - sincePaint));
    }

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return {fontMetrics().horizontalAdvance(u'x') + frame, fontMetrics().height() + frame};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        lastPaint_.start();
        QFrame::paintEvent(event);
        if (text_.isEmpty())
            return;
        const Qt::LayoutDirection direction = text_.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        const Qt::Alignment align = QStyle::visualAlignment(direction, Qt::AlignLeft | Qt::AlignVCenter);
        QRect room = contentsRect();
        const int indent = frameWidth() > 0 ? fontMetrics().horizontalAdvance(u'x') / 2 : 0;
        if (align & Qt::AlignLeft)
            room.setLeft(room.left() + indent);
        else
            room.setRight(room.right() - indent);
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        const int flags = static_cast<int>(align)
            | (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
        style()->drawItemText(&painter, room, flags, option.palette, isEnabled(), text_, foregroundRole());
    }

private:
    // A frame of a 40 Hz screen: faster changes are not seen anyway.
    static constexpr qint64 kFrameMilliseconds = 25;

    QString text_;
    QElapsedTimer lastPaint_;
    QTimer repaintLater_;
};

StatusBarUnit::StatusBarUnit(LiveWindow& window, const UnitTemplate& unitTemplate) : Unit(window, unitTemplate) {}

QWidget* StatusBarUnit::createWidget(QWidget* parent)
{
    bar_ = new QWidget(parent);
    bar_->setFocusPolicy(Qt::NoFocus);
    layout_ = new QHBoxLayout(bar_);
    layout_->setContentsMargins(0, 1, 0, 0);
    layout_->setSpacing(2);
    applyTemplateFont(*bar_, template_.properties);
    insertPart(0, -1);
    setPartText(0, template_.properties.text.value_or(std::string()));
    return bar_;
}

// A status bar sits along the bottom edge of its window's client area, whatever its stored
// position, and follows the window as it is resized.
class StatusBarDock : public QObject {
public:
    explicit StatusBarDock(QWidget* bar) : QObject(bar), bar_(bar) {}

    void place()
    {
        QWidget* parent = bar_->parentWidget();
        if (parent)
            bar_->setGeometry(0, parent->height() - bar_->height(), parent->width(), bar_->height());
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            place();
        return false;
    }

private:
    QWidget* bar_;
};

void StatusBarUnit::windowBuilt()
{
    // The loader gives a unit without tab stop click focus; a status bar takes none at all.
    bar_->setFocusPolicy(Qt::NoFocus);
    if (QWidget* parent = bar_->parentWidget()) {
        auto* dock = new StatusBarDock(bar_);
        parent->installEventFilter(dock);
        dock->place();
    }
}

StatusBarPart* StatusBarUnit::newPart(int width) const
{
    auto* part = new StatusBarPart(bar_);
    part->setFocusPolicy(Qt::NoFocus);
    // A long message is cut at the part's edge instead of widening the bar.
    if (width < 0)
        part->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    else
        part->setFixedWidth(width);
    return part;
}

bool StatusBarUnit::setPartText(int part, std::string_view text)
{
    if (part < 0 || part >= partCount())
        return false;
    texts_[static_cast<std::size_t>(part)] = std::string(text);
    // Cheap: the part repaints with the latest text at the next paint, nothing is laid out again.
    parts_[static_cast<std::size_t>(part)]->setText(toQt(text));
    return true;
}

std::string StatusBarUnit::partText(int part) const
{
    return part >= 0 && part < partCount() ? texts_[static_cast<std::size_t>(part)] : std::string();
}

int StatusBarUnit::insertPart(int position, int width)
{
    if (!layout_)
        return -1;
    if (position < 0 || position > partCount())
        position = partCount();
    StatusBarPart* part = newPart(width);
    layout_->insertWidget(position, part, width < 0 ? 1 : 0);
    parts_.insert(parts_.begin() + position, part);
    texts_.insert(texts_.begin() + position, std::string());
    return position;
}

bool StatusBarUnit::deletePart(int part)
{
    if (part < 0 || part >= partCount())
        return false;
    delete parts_[static_cast<std::size_t>(part)];
    parts_.erase(parts_.begin() + part);
    texts_.erase(texts_.begin() + part);
    return true;
}

std::string StatusBarUnit::describe() const
{
    std::string line;
    for (int part = 0; part < partCount(); ++part) {
        if (part > 0)
            line += '\t';
        line += escapedForDescription(toQt(texts_[static_cast<std::size_t>(part)]));
    }
    return line;
}

std::optional<std::string> StatusBarUnit::statusText() const
{
    return partCount() > 0 ? partText(0) : std::string();
}

}  // namespace quillora::runtime

// --- the methods ----------------------------------------------------------------------------------

namespace quillora {
namespace {

using runtime::CommandArguments;
using runtime::StatusBarUnit;

StatusBarUnit& statusBar(std::int32_t argCount, const RuntimeValue* args)
{
    return runtime::requireUnit<StatusBarUnit>(argCount, args);
}

}  // namespace

void statusBarSetPartText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    StatusBarUnit& unit = statusBar(argCount, args);
    const CommandArguments arguments(argCount, args);
    *result = makeBool(unit.setPartText(arguments.int32(1, -1), arguments.text(2)));
}

void statusBarPartText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    StatusBarUnit& unit = statusBar(argCount, args);
    *result = runtime::textResult(unit.partText(CommandArguments(argCount, args).int32(1, -1)));
}

void statusBarPartCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(statusBar(argCount, args).partCount());
}

void statusBarInsertPart(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    StatusBarUnit& unit = statusBar(argCount, args);
    const CommandArguments arguments(argCount, args);
    *result = makeInt(unit.insertPart(arguments.int32(1, -1), arguments.int32(2, -1)));
}

void statusBarDeletePart(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    StatusBarUnit& unit = statusBar(argCount, args);
    *result = makeBool(unit.deletePart(CommandArguments(argCount, args).int32(1, -1)));
}

}  // namespace quillora
