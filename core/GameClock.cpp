#include "GameClock.h"

#include <cstdio>

namespace kelvara {

void GameClock::Tick() {
    if (++seconds_ < 60) return;
    seconds_ = 0;
    if (++minutes_ < 60) return;
    minutes_ = 0;
    ++hours_;
}

std::string GameClock::Format(int hours, int minutes, int seconds) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%2d:%2d:%2d", hours, minutes, seconds);
    return buf;
}

}  // namespace kelvara
