#pragma once

#include <Qt>

namespace ql {

// Item-data roles shared by the table models of the logic and the grid helper of the screens.
// Column settings are answered by headerData(section, Qt::Horizontal, role); cell alignment and
// colours use Qt's own roles (Qt::TextAlignmentRole, Qt::BackgroundRole, Qt::ForegroundRole) in
// data() and headerData().
namespace roles {

// headerData: true when the column is kept in the model but not shown (codes, keys).
inline constexpr int ColumnHidden = Qt::UserRole + 100;
// headerData: the column's width in characters of the grid font (int); 0 or absent = default.
inline constexpr int ColumnWidthChars = Qt::UserRole + 101;
// data: the cell's value as the logic stores it (unformatted text), when it differs from the
// display text.
inline constexpr int RawValue = Qt::UserRole + 102;

}  // namespace roles

}  // namespace ql
