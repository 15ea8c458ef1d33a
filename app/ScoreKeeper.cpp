#include "ScoreKeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

#include "DataPaths.h"

namespace kelvara {

QString ScoreKeeper::DefaultPath() {
    return DataPaths::UserFolder() + QStringLiteral("/score");
}

void ScoreKeeper::ReadFile() {
    ScoreBook read;
    std::string aside;
    switch (read.Load(QFile::encodeName(path_).toStdString(), aside)) {
        case ScoreBook::LoadResult::Read:
            book_ = read;
            break;
        case ScoreBook::LoadResult::Missing:
            // Counts that could not be written yet stay until a write succeeds.
            break;
        case ScoreBook::LoadResult::SetAside:
            book_ = ScoreBook();
            // A file that could not even be moved aside comes back at every read: said once.
            if (aside.empty() && stuck_) break;
            stuck_ = aside.empty();
            notice_ = aside.empty() ? tr("战绩文件 %1 无法读取，战绩从零开始。").arg(path_)
                                    : tr("战绩文件无法读取，已改名为 %1，战绩从零开始。")
                                          .arg(QFile::decodeName(QByteArray::fromStdString(aside)));
            break;
    }
}

void ScoreKeeper::Load() {
    book_ = ScoreBook();
    ReadFile();
}

bool ScoreKeeper::Change(const std::function<void(ScoreBook&)>& change, QString& error) {
    ReadFile();
    change(book_);
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        error = tr("无法建立文件夹 %1").arg(QFileInfo(path_).absolutePath());
        return false;
    }
    std::string reason;
    if (book_.Save(QFile::encodeName(path_).toStdString(), reason)) return true;
    error = QString::fromLocal8Bit(reason.c_str());
    return false;
}

bool ScoreKeeper::Reset(QString& error) {
    return Change([](ScoreBook& book) { book.Reset(); }, error);
}

QString ScoreKeeper::TakeNotice() {
    QString notice;
    notice.swap(notice_);
    return notice;
}

}  // namespace kelvara
