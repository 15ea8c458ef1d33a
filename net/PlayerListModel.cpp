#include "PlayerListModel.h"

namespace kelvara {

int PlayerListModel::RowOf(const QString& key) const {
    for (int row = 0; row < players_.size(); ++row)
        if (players_[row].key == key) return row;
    return -1;
}

void PlayerListModel::Upsert(const FoundPlayer& player) {
    const int row = RowOf(player.key);
    if (row < 0) {
        beginInsertRows(QModelIndex(), players_.size(), players_.size());
        players_.push_back(player);
        endInsertRows();
        return;
    }
    if (players_[row] == player) return;
    players_[row] = player;
    emit dataChanged(index(row), index(row));
}

void PlayerListModel::Remove(const QString& key) {
    const int row = RowOf(key);
    if (row < 0) return;
    beginRemoveRows(QModelIndex(), row, row);
    players_.removeAt(row);
    endRemoveRows();
}

void PlayerListModel::Clear() {
    if (players_.isEmpty()) return;
    beginResetModel();
    players_.clear();
    endResetModel();
}

int PlayerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(players_.size());
}

QVariant PlayerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= players_.size()) return {};
    const FoundPlayer& p = players_[index.row()];
    switch (role) {
        case Qt::DisplayRole:
            return p.name + QStringLiteral("  ") + p.address +
                   (p.busy ? tr("  (对弈中)") : QString());
        case NameRole:
            return p.name;
        case AddressRole:
            return p.address;
        case PortRole:
            return p.port;
        case BusyRole:
            return p.busy;
        default:
            return {};
    }
}

}  // namespace kelvara
