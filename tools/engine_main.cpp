// kelvara-engine: the computer player behind a line protocol on standard input and output.
// Reads set/experience.dat of the working directory, like the game. Input is read in bounded
// chunks, so an endless line cannot fill the memory.
#include <cstdio>
#include <string>

#include "EngineProtocol.h"
#include "HistoryCommands.h"
#include "LineReader.h"
#include "PerfectCommands.h"
#include "RecordCommands.h"

int main() {
    kelvara::EngineProtocol engine;
    const auto table = kelvara::PerfectCommands::Install(engine);
    kelvara::HistoryCommands::Install(engine);
    kelvara::RecordCommands::Install(engine, table);
    kelvara::LineReader input(&kelvara::LineReader::ReadStandardInput);
    engine.Serve(input, [](const std::string& answer) {
        std::fwrite(answer.data(), 1, answer.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    });
    return 0;
}
