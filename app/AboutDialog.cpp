#include "AboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"

namespace kelvara {

AboutDialog::AboutDialog(const QIcon& icon, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("关于 Kelvara"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(DluRect(0, 0, 170, 62).size());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutIcon"));
    picture->setPixmap(icon.pixmap(32, 32));
    picture->setGeometry(DluRect(14, 14, 21, 20));

    auto* version = new QLabel(tr("Kelvara 1.0 版"), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setGeometry(DluRect(42, 14, 114, 12));

    // What the game is, for a player who found it in a menu of games.
    auto* game = new QLabel(tr("中国民间棋，黑白各六子。"), this);
    game->setObjectName(QStringLiteral("aboutGame"));
    game->setGeometry(DluRect(42, 27, 121, 12));

    auto* ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("aboutOk"));
    ok->setGeometry(DluRect(113, 41, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kelvara
