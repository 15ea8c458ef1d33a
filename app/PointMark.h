#pragma once

#include <QColor>
#include <QString>

namespace kelvara {

// An extra mark drawn on a board point over the pieces (a hint, an analysis value). Shapes
// are drawn as vectors in scene pixels around the point's centre.
struct PointMark {
    enum class Shape { Ring, Dot, Cross };
    int column = 0;  // 1..4
    int row = 0;     // 1..4
    Shape shape = Shape::Ring;
    QColor colour = Qt::red;
    QString label;  // optional short text beside the point
};

}  // namespace kelvara
