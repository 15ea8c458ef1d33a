// kelvara-engine: the computer player behind a line protocol on standard input and output.
// Reads set/experience.dat of the working directory, like the game.
#include <cstdio>
#include <iostream>
#include <string>

#include "EngineProtocol.h"
#include "HistoryCommands.h"
#include "PerfectCommands.h"

int main() {
    std::ios::sync_with_stdio(false);
    kelvara::EngineProtocol engine;
    kelvara::PerfectCommands::Install(engine);
    kelvara::HistoryCommands::Install(engine);
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::string answer = engine.Handle(line);
        std::cout << answer << '\n' << std::flush;
        if (engine.QuitRequested()) break;
    }
    return 0;
}
