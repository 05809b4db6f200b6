#include "app/programicon.h"

#include <QPainter>
#include <QPixmap>

namespace app {

namespace {

QPixmap DrawDie(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 16.0;
    const QRectF face(margin, margin, size - 2 * margin, size - 2 * margin);
    painter.setPen(QPen(QColor(90, 0, 0), size / 32.0));
    painter.setBrush(QColor(150, 20, 20));
    painter.drawRoundedRect(face, size / 6.0, size / 6.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const qreal pip = size / 9.0;
    const QPointF centre = face.center();
    const qreal offset = face.width() / 4.0;
    for (const QPointF at : { centre, centre + QPointF(-offset, -offset), centre + QPointF(offset, -offset),
             centre + QPointF(-offset, offset), centre + QPointF(offset, offset) })
        painter.drawEllipse(at, pip, pip);
    return pixmap;
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : { 16, 22, 32, 48, 64 })
        icon.addPixmap(DrawDie(size));
    return icon;
}

} // namespace app
