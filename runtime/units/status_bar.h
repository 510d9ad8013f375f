// The status bar (StatusBar, 0x00030002): a row of parts along the bottom of a window, each
// showing one text. It starts with one part, part 0, that shows the form's text; the application
// puts all its messages there. It never takes the focus.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/units/unit.h"

class QHBoxLayout;

namespace quillora::runtime {

class StatusBarPart;

class StatusBarUnit : public Unit {
public:
    StatusBarUnit(LiveWindow& window, const UnitTemplate& unitTemplate);

    QWidget* createWidget(QWidget* parent) override;
    void windowBuilt() override;
    bool neverFirstFocus() const override { return true; }
    // The part texts, separated by tabs.
    std::string describe() const override;
    std::optional<std::string> statusText() const override;

    // A part index outside the parts gives false, the empty text or -1 and changes nothing.
    int partCount() const { return static_cast<int>(parts_.size()); }
    bool setPartText(int part, std::string_view text);
    std::string partText(int part) const;
    // Width -1 takes the room the parts of fixed width leave.
    int insertPart(int position, int width);
    bool deletePart(int part);

private:
    StatusBarPart* newPart(int width) const;

    QWidget* bar_ = nullptr;
    QHBoxLayout* layout_ = nullptr;
    std::vector<StatusBarPart*> parts_;
    std::vector<std::string> texts_;  // what each part says, as the program wrote it
};

}  // namespace quillora::runtime
