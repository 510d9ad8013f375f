#include "runtime/core/live_window.h"

#include "runtime/core/form_window.h"
#include "runtime/core/menu_bar.h"
#include "runtime/core/window_registry.h"
#include "runtime/picture/picture_registry.h"

#include <QApplication>
#include <QImage>

namespace quillora::runtime {

LiveWindow::LiveWindow(const WindowTemplate& windowTemplate) : template_(windowTemplate)
{
    const KindProperties& properties = template_.windowRecord().properties;
    if (properties.backgroundMode)
        backgroundMode_ = *properties.backgroundMode;
}

LiveWindow::~LiveWindow()
{
    // Units go before the window that holds their widgets.
    units_.clear();
    delete widget_.data();
    unloadPicture(static_cast<PictureHandle>(backgroundPicture_));
}

QWidget* LiveWindow::clientArea() const
{
    return widget_ ? widget_->clientArea() : nullptr;
}

Unit* LiveWindow::findUnit(std::uint32_t unitId) const
{
    for (const auto& unit : units_)
        if (unit->unitId() == unitId)
            return unit.get();
    return nullptr;
}

Unit* LiveWindow::findUnitByName(std::string_view name) const
{
    for (const auto& unit : units_)
        if (unit->name() == name)
            return unit.get();
    return nullptr;
}

void LiveWindow::createWindowWidget()
{
    widget_ = new FormWindow(*this);
    const UnitTemplate& record = template_.windowRecord();
    widget_->setWindowTitle(QString::fromStdString(record.properties.text.value_or(std::string())));
    widget_->setGeometry(record.rect.left, record.rect.top, record.rect.width, record.rect.height);
    widget_->setEnabled(!record.disabled());
    if (options() & form_format::kWindowTopmost)
        widget_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void LiveWindow::addUnit(std::unique_ptr<Unit> unit)
{
    units_.push_back(std::move(unit));
}

void LiveWindow::rebuildMenuBar()
{
    if (widget_)
        buildMenuBar(*this);
}

std::string LiveWindow::caption() const
{
    if (widget_)
        return widget_->windowTitle().toStdString();
    return template_.windowRecord().properties.text.value_or(std::string());
}

void LiveWindow::setCaption(std::string_view caption)
{
    template_.units.front().properties.text = std::string(caption);
    if (widget_)
        widget_->setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

void LiveWindow::setBackgroundPicture(std::uint32_t pictureHandle)
{
    backgroundPicture_ = pictureHandle;
    QImage image;
    if (const auto pixels = pictureForDrawing(static_cast<PictureHandle>(pictureHandle))) {
        image = QImage(pixels->pixels.data(), pixels->width, pixels->height, pixels->width * 4,
                       QImage::Format_ARGB32)
                    .copy();
    }
    if (widget_)
        widget_->setBackgroundImage(std::move(image));
}

void LiveWindow::setBackgroundMode(form_format::BackgroundMode mode)
{
    backgroundMode_ = mode;
    if (widget_)
        widget_->updateBackground();
}

void LiveWindow::becomeModal()
{
    modal_ = true;
    for (LiveWindow* other : liveWindows()) {
        if (other == this || !other->widget())
            continue;
        // A window's own state, not isEnabled(): a window owned by one that is already disabled
        // reads as disabled through its owner, and restoring that would leave it disabled for
        // good once its owner is enabled again.
        disabledWindows_.emplace_back(other->widget(), !other->widget()->testAttribute(Qt::WA_ForceDisabled));
        other->widget()->setEnabled(false);
    }
}

void LiveWindow::restoreDisabledWindows()
{
    for (auto& [window, wasEnabled] : disabledWindows_)
        if (window)
            window->setEnabled(wasEnabled);
    disabledWindows_.clear();
}

}  // namespace quillora::runtime
