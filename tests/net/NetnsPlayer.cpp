// One copy of the game for the namespace test: the real window with its network play and
// discovery, put together as the program's start-up does, its modal windows answered by
// script.
//
//   kelvara-netns-player answer             accepts the first invitation and plays white
//   kelvara-netns-player invite ADDRESS PORT chooses ADDRESS:PORT in the start dialog's list
//                                            of players found, invites it and plays black
//
// Both sides play one fixed game, which black wins, by typing the moves on the keyboard.
// What happens is printed, a line each:
//   found NAME<TAB>ADDRESS<TAB>PORT<TAB>BUSY  a row of the live list added or changed
//   gone NAME<TAB>ADDRESS                     a row of the live list removed
//   asked TEXT                                the invitation's question (answer side)
//   started MATCH                             the game runs, names exchanged: the match line
//   over STATUS                               the game has ended, with the status line
// Before black's last step the inviter waits until the file named by KELVARA_GATE exists
// (when that is set), so that the test can look at the running game from outside. The copy
// stays up after the game until it is killed; any fault prints "FAILED: ..." and exits 1.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "DataPaths.h"
#include "MainDialog.h"
#include "ModalScript.h"
#include "NetworkDiscovery.h"
#include "PlayerListModel.h"
#include "StartGameDialog.h"
#include "TcpNetworkPlay.h"

using namespace nettest;

namespace {

// Black's steps at even places, white's at odd ones; black's fourth takes white down to one.
const char* const kMoves[] = {"21U", "34D", "22U", "44L", "31U", "43U", "42U"};
constexpr int kMoveCount = 7;
constexpr int kGiveUpMs = 120000;

void Say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

[[noreturn]] void Fail(const QString& why) {
    Say(QStringLiteral("FAILED: ") + why);
    std::exit(1);
}

QString Row(const FoundPlayer& p) {
    return p.name + QLatin1Char('\t') + p.address + QLatin1Char('\t') + QString::number(p.port) +
           QLatin1Char('\t') + QLatin1Char(p.busy ? '1' : '0');
}

void ReportList(PlayerListModel& list) {
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, &list,
                     [&list](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row)
                             Say(QStringLiteral("found ") + Row(list.At(row)));
                     });
    QObject::connect(&list, &QAbstractItemModel::dataChanged, &list,
                     [&list](const QModelIndex& from, const QModelIndex& to) {
                         for (int row = from.row(); row <= to.row(); ++row)
                             Say(QStringLiteral("found ") + Row(list.At(row)));
                     });
    QObject::connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, &list,
                     [&list](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row)
                             Say(QStringLiteral("gone ") + list.At(row).name + QLatin1Char('\t') +
                                 list.At(row).address);
                     });
    QObject::connect(&list, &QAbstractItemModel::modelAboutToBeReset, &list, [&list] {
        for (const FoundPlayer& p : list.Players())
            Say(QStringLiteral("gone ") + p.name + QLatin1Char('\t') + p.address);
    });
}

// The start dialog's step: waits until the list shows the player at `address`:`port`, picks
// that row as a user would (a click), checks that it filled in the fields and presses OK.
ModalScript::Action ChooseFoundAndInvite(const QString& address, quint16 port) {
    return [address, port](QWidget* w) {
        auto* dialog = qobject_cast<StartGameDialog*>(w);
        if (dialog == nullptr) return false;
        dialog->NetworkRadio()->setChecked(true);
        QListView* view = dialog->FoundList();
        if (view == nullptr) Fail(QStringLiteral("the start dialog offers no players found"));
        auto* list = static_cast<PlayerListModel*>(view->model());
        int row = 0;
        while (row < list->rowCount() &&
               !(list->At(row).address == address && list->At(row).port == port))
            ++row;
        if (row == list->rowCount()) return false;  // not found yet: asked again
        const QModelIndex index = list->index(row);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        if (dialog->AddressEdit()->text() != address ||
            dialog->PortEdit()->text() != QString::number(port))
            Fail(QStringLiteral("choosing the player filled in %1:%2")
                     .arg(dialog->AddressEdit()->text(), dialog->PortEdit()->text()));
        QTimer::singleShot(0, dialog, [dialog] { dialog->OkButton()->click(); });
        return true;
    };
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool inviting = argc == 4 && std::strcmp(argv[1], "invite") == 0;
    if (!inviting && !(argc == 2 && std::strcmp(argv[1], "answer") == 0)) {
        std::fprintf(stderr, "usage: %s answer | invite ADDRESS PORT\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QString gate = qEnvironmentVariable("KELVARA_GATE");

    MainDialog window;
    TcpNetworkPlay network(window.Session(), &window, window.ListenPort());
    window.SetNetworkPlay(&network);
    NetworkDiscovery discovery;
    discovery.Follow(network, window, DataPaths::Resolve(std::string("set/player.information")));
    ReportList(discovery.Found());
    discovery.Start();
    if (!window.Initialise()) Fail(QStringLiteral("the window did not start"));
    window.show();

    ModalScript script;
    if (inviting) {
        script
            .Then(ChooseFoundAndInvite(QString::fromLocal8Bit(argv[2]),
                                       static_cast<quint16>(std::atoi(argv[3]))))
            .Input(true);
        QTimer::singleShot(0, &window, &MainDialog::StartGame);
    } else {
        script.Box(QMessageBox::Yes);
    }

    // Watches the game and plays this side's steps when it is this side's turn.
    int next = inviting ? 0 : 1;
    bool started = false;
    bool over = false;
    std::size_t told = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (; told < script.seen.size(); ++told)
            Say(QStringLiteral("asked ") + script.seen[told].text);
        GameSession& session = window.Session();
        // A message box that the script does not expect is a fault (refusal, no connection).
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            box != nullptr && script.Done())
            Fail(QStringLiteral("unexpected message: ") + box->text());
        // Started once the names are exchanged and the match line shows both.
        if (!started && session.GameRunning() && !window.MatchText().isEmpty()) {
            started = true;
            Say(QStringLiteral("started ") + window.MatchText());
        }
        if (started && !over && !session.GameRunning()) {
            over = true;
            Say(QStringLiteral("over ") + window.StatusText());
        }
        if (over || !session.LocalMayMove() || next >= kMoveCount) return;
        if (next == kMoveCount - 1 && !gate.isEmpty() && !QFileInfo::exists(gate)) return;
        QTest::keyClicks(&window, QString::fromLatin1(kMoves[next]));
        QTest::keyClick(&window, Qt::Key_Return);
        if (session.LocalMayMove())
            Fail(QStringLiteral("the typed step %1 was not played").arg(kMoves[next]));
        next += 2;
    });
    watch.start(20);
    QTimer::singleShot(kGiveUpMs, [] { Fail(QStringLiteral("no end of the game in time")); });
    return app.exec();
}
