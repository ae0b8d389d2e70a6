#pragma once
// The wizard's icons, drawn at start so the program carries no image files:
// the program icon and the 16 x 16 icons of the summary rows.

#include <QIcon>
#include <QPixmap>

namespace calveno::gui {

constexpr int kIconProgram = 1050;

// The icon of a summary row by its id; a null pixmap for an unknown id.
QPixmap summaryIcon(int id);
QIcon programIcon();

}  // namespace calveno::gui
