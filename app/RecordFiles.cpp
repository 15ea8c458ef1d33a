#include "RecordFiles.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <string>

#include "AtomicFile.h"
#include "Board.h"
#include "DataPaths.h"

namespace kelvara {
namespace {

const char* ModeWord(GameKind kind) {
    switch (kind) {
        case GameKind::OnePlayer:
            return "one-player";
        case GameKind::TwoPlayers:
            return "two-player";
        case GameKind::Network:
            break;
    }
    return "network";
}

// The result as the record writes it. A game that ended with the board deciding nothing was
// given up by the computer (black won) or left by the peer (no result).
std::string ResultWord(const GameSession& session) {
    const auto history = session.History();
    const CellCode toMove = history.empty() ? session.StartSide() : Enemy(history.back().side);
    CellCode winner = session.CurrentBoard().Winner(toMove);
    if (winner == Empty && session.Phase() == TurnPhase::Over &&
        session.Kind() == GameKind::OnePlayer)
        winner = Black;
    if (session.Phase() != TurnPhase::Over) winner = Empty;
    return winner == Black ? "1-0" : winner == White ? "0-1" : "*";
}

// File names sort by the time they were given; a name's -N comes after the plain one.
struct RecordName {
    QString stem;
    int number = 1;
    QString path;
};

RecordName SplitName(const QFileInfo& file) {
    RecordName name{file.completeBaseName(), 1, file.filePath()};
    const qsizetype dash = name.stem.lastIndexOf(QLatin1Char('-'));
    bool ok = false;
    const int number = dash > 0 ? name.stem.mid(dash + 1).toInt(&ok) : 0;
    // The date's own dashes come before the '_'.
    if (ok && number >= 2 && dash > name.stem.indexOf(QLatin1Char('_'))) {
        name.number = number;
        name.stem.truncate(dash);
    }
    return name;
}

}  // namespace

GameRecordFile RecordFiles::FromSession(const GameSession& session, std::optional<Level> level,
                                        const QDate& date) {
    GameRecordFile record;
    std::string black = session.PlayerName();
    std::string white = session.OpponentName();
    if (session.Kind() == GameKind::OnePlayer)
        white = tr("电脑").toStdString();
    else if (session.Kind() == GameKind::Network && session.NetworkLocalSide() == White)
        std::swap(black, white);
    record.SetTag("Black", black);
    record.SetTag("White", white);
    record.SetTag("Date", date.toString(QStringLiteral("yyyy.MM.dd")).toStdString());
    record.SetTag("Mode", ModeWord(session.Kind()));
    if (session.Kind() == GameKind::OnePlayer && level) {
        record.SetTag("Level", LevelSetting::Word(*level));
    }
    record.SetTag("Result", ResultWord(session));
    record.SetStartPosition(session.StartBoard(), session.StartSide());
    for (const PlyRecord& ply : session.History()) record.moves.push_back(ply.step);
    return record;
}

void RecordFiles::PlayInto(GameSession& session, const GameRecordFile& record) {
    StartChoice choice;
    choice.kind = GameKind::TwoPlayers;
    choice.blackName = record.Tag("Black");
    choice.whiteName = record.Tag("White");
    Board start;
    CellCode side = Black;
    record.StartPosition(start, side);
    // From the record's position with its side to move, even with no step after it.
    session.StartAt(choice, start, side);
    // The reader let only legal steps through, each of them before the end.
    for (const MoveRecord& move : record.moves) session.PlayLocalStep(move);
}

QString RecordFiles::GamesFolder() {
    return DataPaths::UserFolder() + QStringLiteral("/games");
}

QString RecordFiles::FreeName(const QString& folder, const QDateTime& when) {
    const QString stem = when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    const QDir dir(folder);
    QString name = stem + QStringLiteral(".kvr");
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".kvr");
    return dir.filePath(name);
}

bool RecordFiles::Save(const GameRecordFile& record, const QString& path, QString& error) {
    std::string reason;
    if (AtomicFile::Write(QFile::encodeName(path).toStdString(), record.Write(), reason))
        return true;
    error = QString::fromLocal8Bit(reason.c_str());
    return false;
}

QString RecordFiles::Keep(const GameRecordFile& record, const QDateTime& when, QString& error) {
    const QString folder = GamesFolder();
    if (!QDir().mkpath(folder)) {
        error = tr("不能建立文件夹 %1").arg(QDir::toNativeSeparators(folder));
        return {};
    }
    const QString path = FreeName(folder, when);
    return Save(record, path, error) ? path : QString();
}

QStringList RecordFiles::Recent(int count) {
    const QFileInfoList files =
        QDir(GamesFolder()).entryInfoList({QStringLiteral("*.kvr")}, QDir::Files);
    std::vector<RecordName> names;
    for (const QFileInfo& file : files) names.push_back(SplitName(file));
    std::sort(names.begin(), names.end(), [](const RecordName& a, const RecordName& b) {
        return a.stem != b.stem ? a.stem > b.stem : a.number > b.number;
    });
    QStringList paths;
    for (const RecordName& name : names) {
        if (paths.size() >= count) break;
        paths << name.path;
    }
    return paths;
}

QString RecordFiles::ErrorText(const RecordError& error) {
    using Problem = RecordError::Problem;
    const QString word = QString::fromStdString(error.detail);
    QString reason;
    switch (error.problem) {
        case Problem::TooLarge:
            reason = tr("文件太大（超过 1 MiB）");
            break;
        case Problem::NotText:
            reason = tr("不是 UTF-8 文本");
            break;
        case Problem::BadTag:
            reason = tr("标签格式不对，应为 [名称 \"值\"]");
            break;
        case Problem::DuplicateTag:
            reason = tr("标签 %1 重复").arg(word);
            break;
        case Problem::BadTagValue:
            reason = tr("标签 %1 的值不对").arg(word);
            break;
        case Problem::BadPosition:
            reason = tr("局面写得不对");
            break;
        case Problem::NoPieces:
            reason = tr("局面里双方都要有棋子");
            break;
        case Problem::TagAfterMoves:
            reason = tr("标签出现在着法之后");
            break;
        case Problem::BadMove:
            reason = tr("看不懂的着法 %1").arg(word);
            break;
        case Problem::IllegalMove:
            reason = tr("不合规则的着法 %1").arg(word);
            break;
        case Problem::MoveAfterEnd:
            reason = tr("棋局结束后还有着法 %1").arg(word);
            break;
        case Problem::ResultMismatch:
            reason = tr("结果 %1 与棋局不符").arg(word);
            break;
        case Problem::OpenComment:
            reason = tr("注释缺少 }");
            break;
        case Problem::Unreadable:
            reason = tr("不能读取文件");
            break;
    }
    if (error.line <= 0) return reason;
    return tr("第 %1 行：%2").arg(error.line).arg(reason);
}

}  // namespace kelvara
