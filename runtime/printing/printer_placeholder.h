// The printer unit as it stands until printing is built: a non-visual unit that lets the windows
// holding a printer load, and does nothing else.
#pragma once

#include "runtime/units/unit.h"

namespace quillora::runtime {

class PrinterPlaceholderUnit : public Unit {
public:
    using Unit::Unit;

    // A printer has no window of its own.
    QWidget* createWidget(QWidget*) override { return nullptr; }
    bool neverShown() const override { return true; }
    bool neverFirstFocus() const override { return true; }
    std::string describe() const override { return "printer (not available yet)"; }
};

}  // namespace quillora::runtime
