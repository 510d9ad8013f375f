// Tab (0x00010015): a tab control whose pages hold units. The pages' captions come from the
// form's items; the form may also name the page selected at first (page 0 otherwise).
//
// The units of a page are placed relative to the tab control itself, tab row included, as the
// form data gives their positions. Each page therefore has a transparent overlay that covers the whole tab
// control and is shown only while its page is selected; the page's units lie on it. The overlay
// takes mouse presses only where one of its units lies, so the tab row and the page frame
// underneath stay usable.
//
// It never takes the first focus.
//
// Kind properties (TabProperty in quillora/control_unit_commands.h):
//   0 selected page (int, 0 = first; writing shows that page)
//   1 page count (int, read only)
// Methods: tabPageCount, tabPageCaption, tabSetPageCaption.
// Events: none of its own.
// Automation: "select N|CAPTION" chooses a page as a click on its tab does. describe(): the
// selected page's caption, "selected\tN\tCAPTION", then one "item\tN\tCAPTION" line per page.
#pragma once

#include <vector>

#include <QObject>
#include <QPointer>
#include <QTabWidget>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class TabUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
    QWidget* containerWidget(std::uint32_t page) override;
    bool neverFirstFocus() const override { return true; }
    void windowBuilt() override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;

    int pageCount() const;
    int selectedPage() const;
    QString pageCaption(int page) const;
    bool setPageCaption(int page, const QString& caption);
    bool selectPage(int page);

private:
    // Shows the overlay of the selected page above the tab control and hides the others.
    void showSelectedOverlay();
    QStringList captions() const;

    QPointer<QTabWidget> tabs_;
    std::vector<QPointer<QWidget>> overlays_;
    QObject connections_;
};

}  // namespace quillora::runtime
