// The data grid (DataGrid, 0x00020001, the grid library). The program carries one, hidden, that
// nothing uses; it is built as an empty table so the window holds every unit of its form.
#pragma once

#include "runtime/units/unit.h"

namespace quillora::runtime {

class DataGridUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;
};

}  // namespace quillora::runtime
