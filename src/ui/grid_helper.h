#pragma once

class QTableView;

namespace ql {

// Applies the column settings a grid model gives (hidden columns and widths in characters,
// answered by headerData with the roles of shell/model_roles.h) to a table view, with the
// system's grid look: whole-row selection, no editing, no word wrap, compact rows. Call it after
// setModel, and again after the model is reset with different columns (it also follows
// the model's headerDataChanged and modelReset by itself).
void AplicaColunasGrade(QTableView* grade);

// Width in pixels of a column of the given number of characters in the view's font.
int LarguraColunaCaracteres(const QTableView* grade, int caracteres);

}  // namespace ql
