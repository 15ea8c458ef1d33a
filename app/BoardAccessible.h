#pragma once

#include <QAccessibleWidget>
#include <QString>
#include <array>
#include <functional>

#include "BoardTypes.h"

namespace kelvara {

class BoardCellAccessible;

// The board as assistive technology sees it: a table of 4 rows and 4 columns, top row first,
// one cell per point, named by its column and row and what stands on it. The board itself
// is a plain widget over the drawn board (mouse events pass through it); this interface is
// found for it by the factory that Install() adds.
class BoardAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    struct Source {
        std::function<CellCode(BoardPoint)> piece;
        std::function<BoardPoint()> focus;      // 0 while the keyboard's ring is hidden
        std::function<QRect(BoardPoint)> rect;  // the point's square in the widget's pixels
        std::function<BoardPoint()> lifted;     // the point whose piece the keyboard holds, or 0
    };

    // Makes `area` the accessible board, answered from `source`.
    static void Install(QWidget* area, Source source);
    // The text of one point, e.g. "第 2 列 第 1 行，黑棋", or "…，黑棋，已拿起" while the
    // keyboard holds its piece.
    static QString PointName(BoardPoint point, CellCode piece, bool lifted = false);
    // Tells assistive technology that the ring moved to `point`, or that what it reads there
    // changed; a key that changed neither (a typed character) says nothing, since a screen
    // reader speaks each focus event afresh. Returns whether it told.
    static bool FocusMoved(QWidget* area, BoardPoint point);
    static void Announce(QWidget* area, const QString& text);

    BoardAccessible(QWidget* area, const Source* source);
    ~BoardAccessible() override;

    const Source& Data() const { return *source_; }
    int IndexOf(BoardPoint point) const;
    BoardPoint PointOf(int index) const;

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override { return 16; }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::Role role() const override { return QAccessible::Table; }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return 4; }
    int rowCount() const override { return 4; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

  private:
    const Source* source_;
    mutable std::array<BoardCellAccessible*, 16> cells_{};
};

}  // namespace kelvara
