#include "runtime/units/data_grid.h"

#include <QTableWidget>

namespace quillora::runtime {

QWidget* DataGridUnit::createWidget(QWidget* parent)
{
    auto* grid = new QTableWidget(parent);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

}  // namespace quillora::runtime
