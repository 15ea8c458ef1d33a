#pragma once

#include <atomic>
#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for the translation tools, which collect the context and the text from the
// source; the text itself is left as it is. KELVARA_TEXT_N marks a text whose %n is a count and
// whose translation has a form for each count.
#define KELVARA_TEXT(context, text) text
#define KELVARA_TEXT_N(context, text) text

namespace kelvara {

// The program's texts are written in Chinese; the application installs, once at start-up, a
// function that gives a text in the user's language. Without one (the engine, the plain tests)
// every text stays exactly as written.
class Translation {
  public:
    // The text of `text` in `context`; `count` is the number behind %n, or -1 for a text
    // without one.
    using Function = std::string (*)(const char* context, const char* text, int count);

    static void Install(Function function);
    // The text in the user's language, with %n replaced by `count` when it is 0 or more.
    static std::string Text(const char* context, const char* text, int count = -1);
    // `pattern` with %1 to %9 replaced by the arguments in a single pass: a name holding "%2"
    // is put in as it is, a marker without an argument is kept.
    static std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args);

  private:
    static std::atomic<Function> function_;
};

}  // namespace kelvara
