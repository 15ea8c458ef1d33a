#pragma once

#include <string>

namespace kelvara {

// The time a game has run, counted in whole seconds by Tick().
class GameClock {
  public:
    void Reset() { hours_ = minutes_ = seconds_ = 0; }
    void Tick();

    int Hours() const { return hours_; }
    int Minutes() const { return minutes_; }
    int Seconds() const { return seconds_; }

    // "h:mm:ss" with every field right-aligned in two places: " 1: 5: 9".
    std::string Text() const { return Format(hours_, minutes_, seconds_); }
    static std::string Format(int hours, int minutes, int seconds);

    friend bool operator==(const GameClock&, const GameClock&) = default;

  private:
    int hours_ = 0;
    int minutes_ = 0;
    int seconds_ = 0;
};

}  // namespace kelvara
