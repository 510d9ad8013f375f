// The list view (ListView, 0x00030004) in report style: a header of titled columns over rows of
// text cells, built for long lists (see list_view_model.h for how rows reach the view). It has no
// kind events of its own; the common double-click (-3) comes from its rows, and a double click
// makes the row under the mouse the current row before the event is raised.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "runtime/core/form_template_format.h"
#include "runtime/units/unit.h"

class QObject;
class QTreeView;

namespace quillora::runtime {

class ListViewModel;

class ListViewUnit : public Unit, public UnitTable {
public:
    // The width of a column inserted without one, in pixels.
    static constexpr int kDefaultColumnWidth = 50;

    ListViewUnit(LiveWindow& window, const UnitTemplate& unitTemplate);
    ~ListViewUnit() override;

    QWidget* createWidget(QWidget* parent) override;
    void windowBuilt() override;
    // The header titles on the first line, then one line per row; cells are separated by tabs.
    std::string describe() const override;
    // "select N" makes row N (from 0) current; "doubleclick N" makes it current and double-clicks
    // it, which raises the common event -3 as a user's double click does.
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;
    const UnitTable* table() const override { return this; }

    // Columns; an index outside them gives -1, 0, false or the empty text.
    int insertColumn(int position, std::string_view title, int width, form_format::Alignment alignment);
    bool deleteColumn(int column);
    int columnCount() const override;
    std::string columnTitle(int column) const override;
    int columnWidth(int column) const override;
    form_format::Alignment columnAlignment(int column) const override;

    // Rows, counting those the control does not show yet.
    int insertRow(int position, std::string_view caption);
    bool deleteRow(int row);
    void deleteAllRows();
    int rowCount() const override;
    bool setCellText(int row, int column, std::string_view text);
    std::string cellText(int row, int column) const override;
    int currentRow() const;
    bool setCurrentRow(int row);

    // Shows the rows appended since the control last learned of rows, without waiting for the
    // next event processing.
    void showPendingRows();

private:
    bool doubleClickRow(int row, std::string& problem);

    std::unique_ptr<ListViewModel> model_;
    QTreeView* view_ = nullptr;
    std::unique_ptr<QObject> rowPicker_;
};

}  // namespace quillora::runtime
