#include "runtime/core/form_window.h"

#include "quillora/events.h"
#include "runtime/core/events.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>
#include <QWindow>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>

namespace quillora::runtime {
namespace {

// The client area paints the window's background picture in its mode.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, const QImage& background, const LiveWindow& window)
        : QWidget(parent), background_(background), window_(window)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (background_.isNull())
            return;
        QPainter painter(this);
        switch (window_.backgroundMode()) {
        case form_format::BackgroundMode::TopLeft:
            painter.drawImage(0, 0, background_);
            break;
        case form_format::BackgroundMode::Tiled:
            painter.drawTiledPixmap(rect(), QPixmap::fromImage(background_));
            break;
        case form_format::BackgroundMode::Stretched:
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(rect(), background_);
            break;
        case form_format::BackgroundMode::Centred:
            painter.drawImage((width() - background_.width()) / 2, (height() - background_.height()) / 2,
                              background_);
            break;
        }
    }

private:
    const QImage& background_;
    const LiveWindow& window_;
};

bool hasMnemonic(const std::string& caption, QChar key)
{
    const QString text = QString::fromStdString(caption);
    for (qsizetype at = text.indexOf('&'); at >= 0 && at + 1 < text.size(); at = text.indexOf('&', at + 2)) {
        if (text[at + 1].toUpper() == key.toUpper())
            return true;
    }
    return false;
}

// Whether Tab stops at the unit: a tab stop that would be shown in `window` and is enabled. A
// unit on a tab page that is not selected is not shown, so Tab passes it by.
bool takesTabFocus(const Unit& unit, const QWidget* window)
{
    const QWidget* control = unit.widget();
    if (!control || !unit.unitTemplate().tabStop())
        return false;
    const QWidget* target = control->focusProxy() ? control->focusProxy() : control;
    return (target->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(window) && control->isEnabledTo(window);
}

}  // namespace

FormWindow::FormWindow(LiveWindow& window) : window_(window)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    client_ = new ClientArea(this, background_, window);
    setCentralWidget(client_);
    qApp->installEventFilter(this);
}

void FormWindow::setBackgroundImage(QImage image)
{
    background_ = std::move(image);
    client_->update();
}

void FormWindow::updateBackground()
{
    client_->update();
}

void FormWindow::focusFirstUnit()
{
    for (const auto& unit : window_.units()) {
        if (!unit->neverFirstFocus() && takesTabFocus(*unit, this)) {
            unit->widget()->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    const EventRecord record = fireUnitEvent(window_.id(), 0, kEventMayClose);
    if (handlerSaidNo(record) || !window_.alive()) {
        event->ignore();
        return;
    }
    event->accept();
    window_.closing = true;
    window_.restoreDisabledWindows();
    // The window is destroyed once Qt has finished closing it, unless a load has already
    // replaced it (the new window has the same id). Qt hides the window after this returns, and
    // the hiding moves the focus: a lost-focus handler may run a long operation that lets
    // messages through while Qt is still inside the close. A zero timer would fire in there and
    // delete the window under Qt's feet; a deferred delete waits until the close has unwound.
    const std::uint32_t windowId = window_.id();
    const QPointer<FormWindow> self(this);
    auto* pending = new QObject;
    QObject::connect(pending, &QObject::destroyed, [windowId, self] {
        const LiveWindow* window = liveWindow(windowId);
        if (self && window && window->widget() == self)
            destroyLiveWindow(windowId);
    });
    pending->deleteLater();
}

// Qt delivers the placement a window was built with once more when it is first shown, as a move
// to where it already is and a resize from no size at all. Loading has already reported that
// placement (position changed, size changed after created), so only real changes fire.
void FormWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (event->pos() != event->oldPos())
        fireUnitEvent(window_.id(), 0, kEventPositionChanged);
}

void FormWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (event->oldSize().isValid() && event->size() != event->oldSize())
        fireUnitEvent(window_.id(), 0, kEventSizeChanged);
}

void FormWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        if (!window_.firstActivationDone) {
            window_.firstActivationDone = true;
            fireUnitEvent(window_.id(), 0, kEventFirstActivated);
        }
        if (window_.alive())
            fireUnitEvent(window_.id(), 0, kEventActivated);
    } else {
        fireUnitEvent(window_.id(), 0, kEventDeactivated);
    }
}

void FormWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    fireUnitEvent(window_.id(), 0, kEventShown);
}

void FormWindow::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    fireUnitEvent(window_.id(), 0, kEventHidden);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        return startDragMove(watched, static_cast<QMouseEvent*>(event));
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !widget->hasFocus())
        return false;
    return handleNavigationKey(static_cast<QKeyEvent*>(event));
}

bool FormWindow::handleNavigationKey(QKeyEvent* event)
{
    if (!isEnabled())
        return true;
    const auto modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if ((modifiers & ~Qt::ShiftModifier) != Qt::NoModifier)
            return false;  // Ctrl+Tab stays with the control (a tab control turns its pages)
        moveTabFocus(event->key() == Qt::Key_Tab && modifiers == Qt::NoModifier);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers != Qt::NoModifier)
            return false;
        // A multi-line edit box keeps Enter for its own line breaks.
        if (QWidget* focus = QApplication::focusWidget(); focus && focus->inherits("QPlainTextEdit"))
            return false;
        handleEnter();
        return true;
    case Qt::Key_F1:
        if (modifiers == Qt::NoModifier && (window_.options() & form_format::kWindowHelpKey))
            return openHelpFile();
        return false;
    case Qt::Key_Escape:
        if (window_.options() & form_format::kWindowEscCloses) {
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            return true;
        }
        return false;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (qobject_cast<QRadioButton*>(QApplication::focusWidget())) {
            moveRadioFocus(event->key() == Qt::Key_Right || event->key() == Qt::Key_Down);
            return true;
        }
        return false;
    default:
        if (modifiers == Qt::AltModifier)
            return handleMnemonic(event);
        return false;
    }
}

void FormWindow::handleEnter()
{
    QWidget* focus = QApplication::focusWidget();
    for (const auto& unit : window_.units()) {
        if (unit->widget() == focus && unit->acceptsEnterAsDefault()) {
            unit->click();
            return;
        }
    }
    if (window_.options() & form_format::kWindowEnterMovesFocus) {
        focusNextChild();
        return;
    }
    for (const auto& unit : window_.units()) {
        QWidget* control = unit->widget();
        if (unit->acceptsEnterAsDefault() && control && control->isVisible() && control->isEnabled()) {
            unit->click();
            return;
        }
    }
}

// Tab and Shift+Tab go through the units in table order, not in Qt's focus chain: units are
// created from the last to the first, so that chain runs backwards.
void FormWindow::moveTabFocus(bool forward)
{
    const auto& units = window_.units();
    const auto count = static_cast<std::ptrdiff_t>(units.size());
    std::ptrdiff_t current = -1;
    for (const QWidget* widget = QApplication::focusWidget(); widget && current < 0; widget = widget->parentWidget())
        for (std::ptrdiff_t index = 0; index < count; ++index)
            if (units[index]->widget() == widget)
                current = index;
    if (current < 0)
        current = forward ? count - 1 : 0;
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        const std::ptrdiff_t index = ((current + (forward ? step : -step)) % count + count) % count;
        if (takesTabFocus(*units[index], this)) {
            units[index]->widget()->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void FormWindow::moveRadioFocus(bool forward)
{
    auto* current = qobject_cast<QRadioButton*>(QApplication::focusWidget());
    if (!current)
        return;
    QList<QRadioButton*> group;
    for (QObject* sibling : current->parentWidget()->children())
        if (auto* radio = qobject_cast<QRadioButton*>(sibling); radio && radio->isVisible() && radio->isEnabled())
            group.append(radio);
    const qsizetype at = group.indexOf(current);
    const qsizetype next = forward ? at + 1 : at - 1;
    if (next >= 0 && next < group.size())
        group[next]->setFocus(Qt::TabFocusReason);
}

bool FormWindow::handleMnemonic(QKeyEvent* event)
{
    const QString text = event->text();
    QChar key = text.isEmpty() ? QChar() : text[0];
    if (key.isNull() && event->key() >= Qt::Key_0 && event->key() <= Qt::Key_Z)
        key = QChar(event->key());
    if (!key.isLetterOrNumber())
        return false;
    const auto& units = window_.units();
    for (std::size_t i = 0; i < units.size(); ++i) {
        Unit& unit = *units[i];
        QWidget* control = unit.widget();
        if (!control || !control->isVisible() || !control->isEnabled())
            continue;
        if (!hasMnemonic(unit.mnemonicCaption(), key))
            continue;
        if (unit.isLabelLike()) {
            if (i + 1 < units.size() && units[i + 1]->widget())
                units[i + 1]->widget()->setFocus(Qt::ShortcutFocusReason);
        } else {
            unit.activateByMnemonic();
        }
        return true;
    }
    return false;
}

// A window with the move-by-dragging option moves with a left press on its client area or on a
// unit whose kind drags the window (labels, group boxes, progress bars, animation boxes).
bool FormWindow::startDragMove(QObject* watched, QMouseEvent* event)
{
    if (!(window_.options() & form_format::kWindowMoveByDragging) || event->button() != Qt::LeftButton)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !windowHandle())
        return false;
    bool drags = widget == client_;
    for (const auto& unit : window_.units())
        if (unit->dragsWindow() && unit->widget() && (unit->widget() == widget || unit->widget()->isAncestorOf(widget)))
            drags = true;
    return drags && windowHandle()->startSystemMove();
}

// F1 opens the window's help file: the program's own name with the extension "hlp", beside the
// program, when it exists.
bool FormWindow::openHelpFile()
{
    const QString helpFile = QCoreApplication::applicationFilePath() + QStringLiteral(".hlp");
    if (!QFileInfo::exists(helpFile))
        return false;
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
    return true;
}

}  // namespace quillora::runtime
