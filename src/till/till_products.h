#pragma once

#include <QString>

#include <vector>

#include "till/till_format.h"

namespace ql {

struct Context;
class GradeAutorizacao;
class ResultadoConsulta;

// Enters the till's basket into the authorisation grid as the cashier would: each code is
// searched at the host (the product query), the product found goes through the product
// entry's price lookup and checks with the till's quantity (and the till's unit price where
// the layout lets the gross price be typed) and is written into the grid. Returns the codes
// that could not be entered (the host knows no such product, or the entry refused it).
std::vector<QString> EnterTillProducts(Context& ctx, const std::vector<TillProduct>& produtos,
                                       GradeAutorizacao& grade, ResultadoConsulta& consulta);

}  // namespace ql
