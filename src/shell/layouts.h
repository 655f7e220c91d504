#pragma once

namespace ql {

// Layout records of every screen (three entries each, one per establishment type), filled
// once at start-up by MontaTela from QlnClient.ini.
struct LayoutTelas {};

}  // namespace ql
