#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

#include "ScoreBook.h"

namespace kelvara {

// The player's score on disk: read at start-up, changed and written again (atomically) as
// games end. Every change starts from the file as it is then, so that two windows counting
// side by side do not undo each other's counts. A file that cannot be read as a score is set
// aside under another name, and the window tells the player so once.
class ScoreKeeper {
    Q_DECLARE_TR_FUNCTIONS(ScoreKeeper)

  public:
    // <user data folder>/score
    static QString DefaultPath();

    explicit ScoreKeeper(QString path = DefaultPath()) : path_(std::move(path)) {}

    const QString& Path() const { return path_; }
    const ScoreBook& Book() const { return book_; }

    // Reads the file (a missing one is an empty score).
    void Load();
    // Applies `change` and writes the score; false with the reason in `error`. The score in
    // memory is changed even when it could not be written.
    bool Change(const std::function<void(ScoreBook&)>& change, QString& error);
    bool Reset(QString& error);

    // What the player has to be told about a file set aside since the last call, or empty.
    QString TakeNotice();

  private:
    void ReadFile();

    QString path_;
    ScoreBook book_;
    QString notice_;
    bool stuck_ = false;  // a bad file that could not be moved aside has been reported
};

}  // namespace kelvara
