#pragma once

#include <QString>

class QTableView;

// Writes the rows of a grid over a sortable model to a workbook the user chooses: the titles of
// the columns from the second on in the first row (the first column is the hidden key), one
// grid row per sheet row below in the order the grid shows them, every value as text.
void ExportGridToExcel(QTableView* grid);

// The name the workbook is saved under: ".xlsx" appended unless the name ends with it exactly.
QString WorkbookFileName(const QString& chosen);
// Writes the workbook; raises EUserError carrying the writer's reason.
void WriteGridWorkbook(QTableView* grid, const QString& path);
