// A loaded window: its Qt window, its units in table order, its menu bar and the state that
// lives only while it is loaded.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>

#include "runtime/core/form_template.h"
#include "runtime/core/form_window.h"
#include "runtime/units/unit.h"


namespace quillora::runtime {

class LiveWindow {
public:
    // Takes a working copy of the template; the template itself stays unchanged.
    explicit LiveWindow(const WindowTemplate& windowTemplate);
    ~LiveWindow();
    LiveWindow(const LiveWindow&) = delete;
    LiveWindow& operator=(const LiveWindow&) = delete;

    std::uint32_t id() const { return template_.id; }
    const std::string& name() const { return template_.name(); }
    WindowTemplate& workingTemplate() { return template_; }
    const WindowTemplate& workingTemplate() const { return template_; }

    // The top-level Qt window, and the client area on which the units lie.
    FormWindow* widget() const { return widget_; }
    QWidget* clientArea() const;
    bool alive() const { return !widget_.isNull(); }

    // The units in table order (the window's own record is not a unit).
    const std::vector<std::unique_ptr<Unit>>& units() const { return units_; }
    Unit* findUnit(std::uint32_t unitId) const;
    Unit* findUnitByName(std::string_view name) const;

    // Building, used by the loader.
    void createWindowWidget();
    void addUnit(std::unique_ptr<Unit> unit);
    void rebuildMenuBar();

    // The window's caption (its own text property).
    std::string caption() const;
    void setCaption(std::string_view caption);

    // The background picture as a picture handle (0 = none) and its drawing mode.
    void setBackgroundPicture(std::uint32_t pictureHandle);
    std::uint32_t backgroundPicture() const { return backgroundPicture_; }
    void setBackgroundMode(form_format::BackgroundMode mode);
    form_format::BackgroundMode backgroundMode() const { return backgroundMode_; }

    std::uint32_t options() const { return template_.windowRecord().properties.options; }

    // Modal state: the windows this one disabled when it was loaded modally, with their former
    // enabled state, restored when it closes.
    bool modal() const { return modal_; }
    void becomeModal();
    void restoreDisabledWindows();

    // Whether the first activation has happened (event 8 fires once, before event 5).
    bool firstActivationDone = false;
    // Whether its close has been accepted: it is destroyed as soon as Qt is done with the close,
    // and a load before then builds the window afresh instead of activating the closing one.
    bool closing = false;

private:
    WindowTemplate template_;
    QPointer<FormWindow> widget_;
    std::vector<std::unique_ptr<Unit>> units_;
    std::uint32_t backgroundPicture_ = 0;
    form_format::BackgroundMode backgroundMode_ = form_format::BackgroundMode::TopLeft;
    bool modal_ = false;
    std::vector<std::pair<QPointer<QWidget>, bool>> disabledWindows_;
};

}  // namespace quillora::runtime
