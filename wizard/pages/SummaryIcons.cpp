#include "SummaryIcons.h"

#include <QPainter>

#include "SummaryRows.h"

namespace calveno::gui {

namespace {

const QColor kInk(0x20, 0x20, 0x20);

void drawCard(QPainter& p, const QColor& body)
{
    p.setPen(kInk);
    p.setBrush(body);
    p.drawRoundedRect(1, 3, 14, 10, 2, 2);
    p.setBrush(QColor(0xe8, 0xc3, 0x4a));
    p.drawRect(3, 6, 4, 4);
}

}  // namespace

QPixmap summaryIcon(int id)
{
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
    case kIconProtocol:
        // Two arrows, one each way: a conversation with the reader.
        p.setPen(QPen(QColor(0x1d, 0x5f, 0xa8), 2));
        p.drawLine(2, 5, 13, 5);
        p.drawLine(10, 2, 13, 5);
        p.drawLine(3, 11, 14, 11);
        p.drawLine(3, 11, 6, 14);
        break;
    case kIconReader:
        // A reader body with its card slot.
        p.setPen(kInk);
        p.setBrush(QColor(0x6b, 0x6b, 0x75));
        p.drawRect(1, 5, 14, 9);
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(4, 8, 12, 8);
        p.setPen(QColor(0x30, 0xc0, 0x30));
        p.drawPoint(3, 12);
        break;
    case kIconAddress: {
        // A numbered tag.
        p.setPen(kInk);
        p.setBrush(QColor(0xf2, 0xe2, 0x9c));
        p.drawEllipse(1, 1, 14, 14);
        QFont font = p.font();
        font.setPixelSize(10);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("#"));
        break;
    }
    case kIconPort:
        // A plug with its pins.
        p.setPen(kInk);
        p.setBrush(QColor(0x9a, 0xa8, 0xb8));
        p.drawRoundedRect(2, 4, 12, 8, 2, 2);
        p.setBrush(kInk);
        for (int x = 4; x <= 11; x += 3) p.drawEllipse(QPointF(x + 0.5, 8), 1, 1);
        break;
    case kIconSerialSettings:
        // Three sliders.
        p.setPen(QPen(kInk, 1));
        for (int row = 0; row < 3; ++row) {
            const int y = 3 + row * 5;
            p.drawLine(1, y, 14, y);
            p.setBrush(QColor(0xd0, 0x60, 0x30));
            p.drawRect(3 + row * 4, y - 2, 3, 4);
        }
        break;
    case kIconResource: drawCard(p, QColor(0x2e, 0x8b, 0x57)); break;
    default: return QPixmap();
    }
    return image;
}

QIcon programIcon()
{
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A card going into a reader.
    p.setPen(kInk);
    p.setBrush(QColor(0x6b, 0x6b, 0x75));
    p.drawRect(2, 16, 28, 13);
    p.setBrush(QColor(0x2e, 0x8b, 0x57));
    p.drawRoundedRect(8, 2, 16, 18, 2, 2);
    p.setBrush(QColor(0xe8, 0xc3, 0x4a));
    p.drawRect(11, 5, 6, 5);
    return QIcon(image);
}

}  // namespace calveno::gui
