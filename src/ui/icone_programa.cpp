#include "ui/icone_programa.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace ql {

namespace {

// One picture of the 48-unit design at `lado` pixels.
QPixmap desenha(int lado) {
    QPixmap imagem(lado, lado);
    imagem.fill(Qt::transparent);
    QPainter p(&imagem);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 48.0, lado / 48.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x6f, 0x5f));
    p.drawRoundedRect(QRectF(3, 9, 42, 30), 4, 4);
    p.setBrush(QColor(0x0f, 0x3f, 0x36));
    p.drawRect(QRectF(3, 15, 42, 5));
    p.setBrush(QColor(0xe8, 0xf3, 0xf0));
    p.drawRoundedRect(QRectF(8, 26, 14, 4), 1, 1);
    p.drawRoundedRect(QRectF(8, 32, 9, 3), 1, 1);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(35, 30), 7, 7);
    p.setBrush(QColor(0xc6, 0x28, 0x28));
    const QPolygonF cruz({{33.5, 25.5},
                          {36.5, 25.5},
                          {36.5, 28.5},
                          {39.5, 28.5},
                          {39.5, 31.5},
                          {36.5, 31.5},
                          {36.5, 34.5},
                          {33.5, 34.5},
                          {33.5, 31.5},
                          {30.5, 31.5},
                          {30.5, 28.5},
                          {33.5, 28.5}});
    p.drawPolygon(cruz);
    return imagem;
}

}  // namespace

QIcon IconePrograma() {
    QIcon icone;
    for (int lado : {16, 24, 32, 48, 64, 128}) icone.addPixmap(desenha(lado));
    return icone;
}

}  // namespace ql
