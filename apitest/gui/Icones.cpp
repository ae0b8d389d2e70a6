#include "Icones.h"

#include <QPainter>
#include <QPixmap>

namespace quintor::gui {

QIcon iconeProgramme()
{
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A card with its contact chip.
    p.setBrush(QColor(0x2e, 0x6d, 0xb4));
    p.setPen(Qt::black);
    p.drawRoundedRect(2, 7, 28, 19, 3, 3);
    p.setBrush(QColor(0xe8, 0xc3, 0x4a));
    p.drawRect(6, 12, 8, 7);
    return QIcon(image);
}

QIcon iconeQuitter()
{
    QPixmap image(16, 15);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setBrush(QColor(0xb0, 0x7a, 0x3c));
    p.drawRect(2, 1, 7, 12);
    p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2));
    p.drawLine(8, 7, 15, 7);
    p.drawLine(12, 4, 15, 7);
    p.drawLine(12, 10, 15, 7);
    return QIcon(image);
}

QIcon iconeLettre(QChar lettre, const QColor& fond)
{
    QPixmap image(16, 15);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setBrush(fond);
    p.drawRect(0, 0, 15, 14);
    QFont police = p.font();
    police.setPixelSize(11);
    police.setBold(true);
    p.setFont(police);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 15), Qt::AlignCenter, QString(lettre));
    return QIcon(image);
}

}  // namespace quintor::gui
