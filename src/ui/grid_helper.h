#pragma once

#include <QList>

class QTableView;

namespace ql {

// Applies the column settings a grid model gives (hidden columns and widths in characters,
// answered by headerData with the roles of shell/model_roles.h) to a table view, with the
// system's grid look: whole-row selection, no editing, no word wrap, compact rows. Call it after
// setModel, and again after the model is reset with different columns (it also follows
// the model's headerDataChanged and modelReset by itself).
//
// Every shown column is as wide as its header and its widest value need in the view's own
// font, and never narrower than the width the layout gives in characters; the widths follow
// the rows as they are added or changed.
void AplicaColunasGrade(QTableView* grade);

// For a grid shown in a window narrower than its columns (the journal screens): whenever the
// view is resized or its columns are fitted again, the columns give up the room their headers
// take beyond their values (down to the header's longest word, which then wraps onto a second
// line) until they fit the visible width. Values are never cut; where even that is too wide,
// the grid scrolls sideways.
void EncaixaColunasNaLargura(QTableView* grade);

// The layout's widths in characters of a grid whose model does not give them, column by
// column (0: no minimum); the columns are then fitted as above.
void DefineLargurasMinimas(QTableView* grade, const QList<int>& caracteres);

// Width in pixels the view needs to show every shown column without scrolling sideways.
int LarguraTodasColunas(const QTableView* grade);

// Width in pixels of a column of the given number of characters in the view's font.
int LarguraColunaCaracteres(const QTableView* grade, int caracteres);

}  // namespace ql
