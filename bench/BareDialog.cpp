// The yardstick for the game's start-up: a bare Qt 6 dialog program of the same shape (a menu
// bar, two lists, the same client size) that does nothing else. bench/startup.sh starts it and
// the game side by side.
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("bare-dialog"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* bar = new QMenuBar(&dialog);
    QMenu* menu = bar->addMenu(QStringLiteral("游戏(&G)"));
    menu->addAction(QStringLiteral("开始(&S)"));
    menu->addAction(QStringLiteral("退出(&X)"), &dialog, &QDialog::accept);
    layout->setMenuBar(bar);
    auto* lists = new QHBoxLayout;
    lists->addWidget(new QListWidget(&dialog));
    lists->addWidget(new QListWidget(&dialog));
    layout->addLayout(lists);
    dialog.resize(542, 423);
    dialog.show();
    return app.exec();
}
