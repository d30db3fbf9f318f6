#pragma once

#include "data/DataSet.h"

#include <QString>

class QTableView;
class QTreeWidget;
class TDataSetModel;

// The window side of the grid cursor, DbAccess().GridSet(): the one model every grid over it
// shows, the grid the last OpenGrid showed it in, and the filling of list views from a query.

// Closes the grid cursor and forgets its query; the model every grid of the grid cursor shows.
TDataSetModel* GridSource();
// Opens the grid cursor and shows it in grid (none when nullptr), the grid's current row being
// the cursor's; fit sizes the columns to their contents. A failed query leaves the grid empty.
void OpenGrid(const QString& sql, QTableView* grid, bool fit, const SqlParams& params = {});
// Runs the grid's query again; the grid keeps its column widths and hidden columns and
// returns to the first row.
void RequeryGrid();

// Sizes the columns of a grid over an open TSortableModel so that their titles and the values of
// their first 50 rows show whole.
void FitColumns(QTableView* grid);
// One item per row of the query: column 0 the first field, further fields further columns.
void FillListView(const QString& sql, QTreeWidget* listView, const SqlParams& params = {});
