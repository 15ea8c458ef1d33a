#pragma once

#include <QAccessibleInterface>

#include "BoardTypes.h"

namespace kelvara {

class BoardAccessible;

// One point of the accessible board: a table cell without a widget of its own.
class BoardCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    BoardCellAccessible(const BoardAccessible* board, int index) : board_(board), index_(index) {}

    // QAccessibleInterface
    bool isValid() const override { return board_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return index_ % 4; }
    int rowIndex() const override { return index_ / 4; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

  private:
    BoardPoint Point() const;

    const BoardAccessible* board_;
    int index_;
};

}  // namespace kelvara
