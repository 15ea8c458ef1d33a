#include "BoardAccessible.h"

#include <QCoreApplication>
#include <QHash>
#include <QWidget>
#include <memory>

#include "BoardCellAccessible.h"

namespace kelvara {
namespace {

// The sources of the boards installed, by widget; an entry leaves with its widget.
QHash<QObject*, std::shared_ptr<BoardAccessible::Source>>& Sources() {
    static QHash<QObject*, std::shared_ptr<BoardAccessible::Source>> sources;
    return sources;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    const auto found = Sources().constFind(object);
    if (found == Sources().constEnd()) return nullptr;
    return new BoardAccessible(static_cast<QWidget*>(object), found->get());
}

// What the last focus event of each board said: its cell's name.
QHash<QObject*, QString>& FocusSaid() {
    static QHash<QObject*, QString> said;
    return said;
}

}  // namespace

void BoardAccessible::Install(QWidget* area, Source source) {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
    Sources().insert(area, std::make_shared<Source>(std::move(source)));
    QObject::connect(area, &QObject::destroyed, [area] {
        Sources().remove(area);
        FocusSaid().remove(area);
    });
}

QString BoardAccessible::PointName(BoardPoint point, CellCode piece, bool lifted) {
    const QString what = piece == Black   ? QCoreApplication::translate("BoardAccessible", "黑棋")
                         : piece == White ? QCoreApplication::translate("BoardAccessible", "白棋")
                                          : QCoreApplication::translate("BoardAccessible", "空");
    QString name = QCoreApplication::translate("BoardAccessible", "第 %1 列 第 %2 行，%3")
                       .arg(PointX(point))
                       .arg(PointY(point))
                       .arg(what);
    if (lifted) name += QCoreApplication::translate("BoardAccessible", "，已拿起");
    return name;
}

bool BoardAccessible::FocusMoved(QWidget* area, BoardPoint point) {
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(area);
    if (board == nullptr || point == 0) return false;
    auto* self = static_cast<BoardAccessible*>(board);
    QAccessibleInterface* cell = self->child(self->IndexOf(point));
    QString& said = FocusSaid()[area];
    const QString name = cell->text(QAccessible::Name);
    if (name == said) return false;
    said = name;
    QAccessibleEvent event(cell, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
    return true;
}

void BoardAccessible::Announce(QWidget* area, const QString& text) {
    // The description is what reaches AT-SPI (as a change of accessible-description); Qt's
    // bridge drops the value change of an object that has no value, as this table.
    area->setAccessibleDescription(text);
    QAccessibleValueChangeEvent event(area, text);
    QAccessible::updateAccessibility(&event);
}

BoardAccessible::BoardAccessible(QWidget* area, const Source* source)
    : QAccessibleWidget(area, QAccessible::Table), source_(source) {}

BoardAccessible::~BoardAccessible() {
    for (BoardCellAccessible* cell : cells_)
        if (cell != nullptr) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cell));
}

int BoardAccessible::IndexOf(BoardPoint point) const {
    return (4 - PointY(point)) * 4 + (PointX(point) - 1);
}

BoardPoint BoardAccessible::PointOf(int index) const {
    return MakePoint(index % 4 + 1, 4 - index / 4);
}

void* BoardAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* BoardAccessible::child(int index) const {
    if (index < 0 || index >= 16) return nullptr;
    if (cells_[index] == nullptr) {
        cells_[index] = new BoardCellAccessible(this, index);
        QAccessible::registerAccessibleInterface(cells_[index]);
    }
    return cells_[index];
}

int BoardAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < 16; ++i)
        if (cells_[i] == child) return i;
    return -1;
}

QAccessibleInterface* BoardAccessible::childAt(int x, int y) const {
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < 16; ++i)
        if (source_->rect(PointOf(i)).contains(local)) return child(i);
    return nullptr;
}

QAccessibleInterface* BoardAccessible::focusChild() const {
    const BoardPoint focus = source_->focus();
    return focus != 0 ? child(IndexOf(focus)) : nullptr;
}

QString BoardAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) return QCoreApplication::translate("BoardAccessible", "棋盘");
    return QAccessibleWidget::text(t);
}

QAccessibleInterface* BoardAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= 4 || column < 0 || column >= 4) return nullptr;
    return child(row * 4 + column);
}

QString BoardAccessible::columnDescription(int column) const {
    return QCoreApplication::translate("BoardAccessible", "第 %1 列").arg(column + 1);
}

QString BoardAccessible::rowDescription(int row) const {
    return QCoreApplication::translate("BoardAccessible", "第 %1 行").arg(4 - row);
}

}  // namespace kelvara
