#pragma once
// Dialog units of the 8-point "MS Sans Serif" templates mapped to pixels. The
// font's base units at 96 dpi are 6 x 13 pixels; a dialog unit is a quarter of
// the width and an eighth of the height.

#include <QFont>
#include <QRect>
#include <QStringList>

namespace quintor::gui {

constexpr int dluX(int x)
{
    return (x * 6 + 2) / 4;
}
constexpr int dluY(int y)
{
    return (y * 13 + 4) / 8;
}

inline QRect dluRect(int x, int y, int w, int h)
{
    return QRect(dluX(x), dluY(y), dluX(w), dluY(h));
}

// The templates' font; where it is not installed a condensed sans face keeps
// the labels inside the widths the templates give them.
inline QFont policeDialogue()
{
    QFont police;
    police.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                        QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    police.setPixelSize(11);
    return police;
}

}  // namespace quintor::gui
