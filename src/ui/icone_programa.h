#pragma once

#include <QIcon>

namespace ql {

// The program's own icon (the card with the pharmacy cross of the desktop entry's
// quillane-client.svg), drawn at the sizes window frames and task bars ask for, so that no
// window shows the toolkit's logo and no image plugin is needed.
QIcon IconePrograma();

}  // namespace ql
