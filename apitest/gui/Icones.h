#pragma once
// Program icon and toolbar images, drawn at start so the program carries no
// binary resources.

#include <QIcon>

namespace quintor::gui {

QIcon iconeProgramme();
// 16 x 15 toolbar images: exit, patient-card sheet, CPS sheet, high-level sheet.
QIcon iconeQuitter();
QIcon iconeLettre(QChar lettre, const QColor& fond);

}  // namespace quintor::gui
