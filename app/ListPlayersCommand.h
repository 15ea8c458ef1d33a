#pragma once

namespace kelvara {

// `kelvara --list-players [--timeout S]`: browses the network for S seconds (2 by default)
// and prints one line per player found, name, address, port and busy (0 or 1) separated by
// tabs. Exit status 0, or 1 with a message on stderr when avahi-daemon cannot be reached.
class ListPlayersCommand {
  public:
    // True when the arguments ask for the command.
    static bool Wanted(int argc, char* argv[]);
    static int Run(int argc, char* argv[]);
};

}  // namespace kelvara
