#pragma once

#include <QString>
#include <string>

#include "SettingsFile.h"

namespace kelvara {

// Where the program's files are found. Every file is named by a path relative to the working
// directory (set/kelvara.ini, set/player.information, set/experience.dat, the pictures), and
// that place always comes first. An installed copy started elsewhere falls back to the
// default files installed with it: share/kelvara beside the program's bin/ directory, else
// the data directory the program was built for.
class DataPaths {
  public:
    // `path` itself when it names an existing file or is absolute; else the installed file
    // of that relative name when there is one; else `path` unchanged (so that the caller's
    // failure handling runs as usual).
    static std::string Resolve(const std::string& path);
    static QString Resolve(const QString& path);

    // The directory of installed defaults, or empty when there is none.
    static QString InstalledDirectory();

    // The settings that stand in for keys a settings file lacks: the installed
    // set/kelvara.ini, and behind it the same file as shipped, compiled in. Always loaded.
    static SettingsFile DefaultSettings();

    // The user's own folder for the files the game writes (game records, the score):
    // "kelvara" under the desktop's data location (~/.local/share/kelvara), named for the
    // program rather than for its Chinese window title.
    static QString UserFolder();
};

}  // namespace kelvara
