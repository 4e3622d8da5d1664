#include "shell/artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace pellucard {
namespace {

const QColor kInk(0x26, 0x3a, 0x5c);
const QColor kCardBlue(0x2f, 0x6f, 0xd6);
const QColor kCardLight(0x6c, 0x9c, 0xea);
const QColor kGold(0xe3, 0xb6, 0x3c);
const QColor kGoldDark(0xa6, 0x7c, 0x16);
const QColor kPaper(0xfa, 0xfa, 0xf5);
const QColor kGreen(0x3a, 0xa5, 0x6b);

// A SIM card: a plate with its corner cut off and the gold contact field.
void paintSimCard(QPainter& p, double s) {
    QPainterPath plate;
    const double cut = s * 0.22;
    plate.moveTo(s * 0.16, s * 0.06);
    plate.lineTo(s * 0.84 - cut, s * 0.06);
    plate.lineTo(s * 0.84, s * 0.06 + cut);
    plate.lineTo(s * 0.84, s * 0.94);
    plate.lineTo(s * 0.16, s * 0.94);
    plate.closeSubpath();
    QLinearGradient body(0, 0, s, s);
    body.setColorAt(0, kCardLight);
    body.setColorAt(1, kCardBlue);
    p.setPen(QPen(kInk, s / 32.0));
    p.setBrush(body);
    p.drawPath(plate);

    const QRectF chip(s * 0.29, s * 0.40, s * 0.42, s * 0.36);
    p.setPen(QPen(kGoldDark, s / 40.0));
    p.setBrush(kGold);
    p.drawRoundedRect(chip, s * 0.05, s * 0.05);
    // The contact areas C1..C8: two columns divided by the middle line.
    p.drawLine(QPointF(chip.center().x(), chip.top()), QPointF(chip.center().x(), chip.bottom()));
    for (int i = 1; i < 4; ++i) {
        const double y = chip.top() + chip.height() * i / 4.0;
        p.drawLine(QPointF(chip.left(), y), QPointF(chip.center().x() - s * 0.05, y));
        p.drawLine(QPointF(chip.center().x() + s * 0.05, y), QPointF(chip.right(), y));
    }
}

void paintPrinter(QPainter& p, double s) {
    p.setPen(QPen(kInk, s / 28.0));
    p.setBrush(kPaper);
    p.drawRect(QRectF(s * 0.28, s * 0.08, s * 0.44, s * 0.30));  // paper going in
    p.setBrush(QColor(0x8a, 0x96, 0xa8));
    p.drawRoundedRect(QRectF(s * 0.08, s * 0.34, s * 0.84, s * 0.36), s * 0.06, s * 0.06);
    p.setBrush(kPaper);
    p.drawRect(QRectF(s * 0.24, s * 0.58, s * 0.52, s * 0.34));  // the printed page
    for (int i = 0; i < 3; ++i) {
        const double y = s * (0.68 + 0.08 * i);
        p.drawLine(QPointF(s * 0.32, y), QPointF(s * 0.68, y));
    }
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(s * 0.80, s * 0.45), s * 0.035, s * 0.035);
}

void paintPerson(QPainter& p, double s) {
    p.setPen(QPen(kInk, s / 28.0));
    p.setBrush(QColor(0xf2, 0xc7, 0x9b));
    p.drawEllipse(QPointF(s * 0.5, s * 0.32), s * 0.20, s * 0.22);
    QPainterPath shoulders;
    shoulders.moveTo(s * 0.12, s * 0.94);
    shoulders.cubicTo(s * 0.12, s * 0.60, s * 0.88, s * 0.60, s * 0.88, s * 0.94);
    shoulders.closeSubpath();
    p.setBrush(kGreen);
    p.drawPath(shoulders);
}

void paintPhoneBook(QPainter& p, double s) {
    p.setPen(QPen(kInk, s / 28.0));
    p.setBrush(QColor(0xc0, 0x4b, 0x3c));
    p.drawRoundedRect(QRectF(s * 0.16, s * 0.06, s * 0.68, s * 0.88), s * 0.05, s * 0.05);
    p.setBrush(kPaper);
    p.drawRect(QRectF(s * 0.30, s * 0.16, s * 0.46, s * 0.68));
    p.drawLine(QPointF(s * 0.24, s * 0.10), QPointF(s * 0.24, s * 0.90));  // the spine
    // A handset on the cover page.
    p.setPen(QPen(kInk, s / 14.0, Qt::SolidLine, Qt::RoundCap));
    QPainterPath handset;
    handset.moveTo(s * 0.42, s * 0.34);
    handset.cubicTo(s * 0.36, s * 0.50, s * 0.50, s * 0.70, s * 0.66, s * 0.66);
    p.setBrush(Qt::NoBrush);
    p.drawPath(handset);
}

void paintMessage(QPainter& p, double s) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(s * 0.06, s * 0.12, s * 0.88, s * 0.60), s * 0.14, s * 0.14);
    QPainterPath tail;
    tail.moveTo(s * 0.26, s * 0.66);
    tail.lineTo(s * 0.20, s * 0.90);
    tail.lineTo(s * 0.46, s * 0.70);
    tail.closeSubpath();
    p.setPen(QPen(kInk, s / 28.0));
    p.setBrush(QColor(0xff, 0xe0, 0x82));
    p.drawPath(bubble.united(tail));
    p.setBrush(kInk);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(s * (0.30 + 0.20 * i), s * 0.42), s * 0.05, s * 0.05);
}

}  // namespace

QPixmap artworkPixmap(Artwork picture, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    switch (picture) {
        case Artwork::SimCard:
            paintSimCard(painter, s);
            break;
        case Artwork::Printer:
            paintPrinter(painter, s);
            break;
        case Artwork::Person:
            paintPerson(painter, s);
            break;
        case Artwork::PhoneBook:
            paintPhoneBook(painter, s);
            break;
        case Artwork::Message:
            paintMessage(painter, s);
            break;
    }
    return pixmap;
}

QIcon artworkIcon(Artwork picture) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(artworkPixmap(picture, size));
    return icon;
}

}  // namespace pellucard
