#include "BoardCellAccessible.h"

#include <QWidget>

#include "BoardAccessible.h"

namespace kelvara {

BoardPoint BoardCellAccessible::Point() const {
    return board_->PointOf(index_);
}

QWindow* BoardCellAccessible::window() const {
    return board_->window();
}

QAccessibleInterface* BoardCellAccessible::parent() const {
    return const_cast<BoardAccessible*>(board_);
}

QAccessibleInterface* BoardCellAccessible::table() const {
    return parent();
}

QString BoardCellAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name) return {};
    const BoardAccessible::Source& data = board_->Data();
    return BoardAccessible::PointName(Point(), data.piece(Point()),
                                      data.lifted && data.lifted() == Point());
}

QRect BoardCellAccessible::rect() const {
    const QWidget* area = static_cast<QWidget*>(board_->object());
    const QRect local = board_->Data().rect(Point());
    return QRect(area->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State BoardCellAccessible::state() const {
    QAccessible::State state;
    state.focusable = true;
    state.focused = board_->Data().focus() == Point();
    return state;
}

void* BoardCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

}  // namespace kelvara
