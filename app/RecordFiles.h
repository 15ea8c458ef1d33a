#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "GameRecordFile.h"
#include "GameSession.h"
#include "LevelSetting.h"

namespace kelvara {

// The window's game records on disk: the record of a game in the session, the folder where
// every finished game is kept (one file a game, named by the date and time it ended), the
// latest of them, and the reasons a record could not be read as the window says them.
class RecordFiles {
    Q_DECLARE_TR_FUNCTIONS(RecordFiles)

  public:
    static constexpr int kRecentCount = 10;

    // The record of the session's game as it stands: names, date, kind, the level (for the
    // game against the computer), the result and the set-up position it started from, if any.
    static GameRecordFile FromSession(const GameSession& session, std::optional<Level> level,
                                      const QDate& date);

    // Starts a game between two players named by the record's tags and plays its steps, so
    // that the session stands as after the last one with all of them to take back.
    static void PlayInto(GameSession& session, const GameRecordFile& record);

    // <user data folder>/games
    static QString GamesFolder();
    // yyyy-MM-dd_HH-mm-ss.kvr in `folder`, with -2, -3, ... before the suffix while that
    // name is taken.
    static QString FreeName(const QString& folder, const QDateTime& when);
    // Writes `record` under a fresh name in the games folder; the path written, or empty
    // with the reason in `error`.
    static QString Keep(const GameRecordFile& record, const QDateTime& when, QString& error);
    // The newest records of the games folder first, at most `count`.
    static QStringList Recent(int count = kRecentCount);

    // Writes `record` to `path` in one piece; false with the reason in `error`.
    static bool Save(const GameRecordFile& record, const QString& path, QString& error);
    // "第 N 行：<reason>", or the reason alone for a file that could not be read at all.
    static QString ErrorText(const RecordError& error);
};

}  // namespace kelvara
