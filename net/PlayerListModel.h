#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace kelvara {

// One player found on the network.
struct FoundPlayer {
    QString key;      // the service on one interface: unique within the list
    QString name;     // the player's name
    QString address;  // dotted IPv4
    quint16 port = 0;
    bool busy = false;
    bool operator==(const FoundPlayer&) const = default;
};

// The live list of players found on the network, in the order they were found. A row shows
// the name, the address and, while the player is in a game, a mark.
class PlayerListModel : public QAbstractListModel {
    Q_OBJECT

  public:
    enum Role { NameRole = Qt::UserRole + 1, AddressRole, PortRole, BusyRole };

    using QAbstractListModel::QAbstractListModel;

    // Adds the player, or updates the row of its key when something changed.
    void Upsert(const FoundPlayer& player);
    void Remove(const QString& key);
    void Clear();
    const FoundPlayer& At(int row) const { return players_.at(row); }
    const QVector<FoundPlayer>& Players() const { return players_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    int RowOf(const QString& key) const;

    QVector<FoundPlayer> players_;
};

}  // namespace kelvara
