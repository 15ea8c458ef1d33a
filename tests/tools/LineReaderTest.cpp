#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "EngineProtocol.h"
#include "LineReader.h"

using kelvara::LineReader;
using Result = kelvara::LineReader::Result;

namespace {

// Hands out `bytes` at most `step` bytes per read, counting the bytes handed out.
struct Feed {
    std::string bytes;
    std::size_t step;
    std::size_t at = 0;
    std::size_t Read(char* buffer, std::size_t size) {
        const std::size_t n = std::min({size, step, bytes.size() - at});
        std::memcpy(buffer, bytes.data() + at, n);
        at += n;
        return n;
    }
};

// Each result as text: the line itself, "<long>" or nothing at the end.
std::vector<std::string> ReadAll(const std::string& bytes, std::size_t step, std::size_t maxLine) {
    Feed feed{bytes, step};
    LineReader reader([&feed](char* b, std::size_t n) { return feed.Read(b, n); }, maxLine);
    std::vector<std::string> out;
    std::string line;
    for (Result r; (r = reader.Next(line)) != Result::End;)
        out.push_back(r == Result::TooLong ? "<long>" : line);
    EXPECT_EQ(reader.Next(line), Result::End);  // and stays at the end
    return out;
}

}  // namespace

TEST(LineReader, LinesInAnyReadSizes) {
    const std::string input = "start\n\nplay 21U\r\n" + std::string(5000, 'x') + "\ngo";
    const std::vector<std::string> expected = {"start", "", "play 21U\r", std::string(5000, 'x'),
                                               "go"};
    for (std::size_t step : {1u, 2u, 7u, 4096u, 100000u}) {
        SCOPED_TRACE(step);
        EXPECT_EQ(ReadAll(input, step, 8000), expected);
    }
    EXPECT_TRUE(ReadAll("", 10, 8000).empty());
    EXPECT_EQ(ReadAll("\n", 10, 8000), std::vector<std::string>{""});
}

TEST(LineReader, LinesBeyondTheBoundArePassedOver) {
    const std::size_t bound = 10;
    for (std::size_t step : {1u, 3u, 4096u}) {
        SCOPED_TRACE(step);
        // Exactly the bound fits; one byte more does not, nor a line spanning many chunks.
        EXPECT_EQ(ReadAll("0123456789\n0123456789a\nok\n" + std::string(20000, 'y') + "\nend", step,
                          bound),
                  (std::vector<std::string>{"0123456789", "<long>", "ok", "<long>", "end"}));
        // An over-long last line without its line end.
        EXPECT_EQ(ReadAll("ok\n" + std::string(11, 'z'), step, bound),
                  (std::vector<std::string>{"ok", "<long>"}));
    }
}

TEST(LineReader, ServeAnswersEveryLineOnce) {
    Feed feed{
        "board\n" + std::string(LineReader::kDefaultMaxLine + 1, 'p') + "\nplay 21U\nquit\nboard\n",
        4096};
    LineReader reader([&feed](char* b, std::size_t n) { return feed.Read(b, n); });
    kelvara::EngineProtocol engine("/nonexistent/experience.dat");
    std::vector<std::string> answers;
    engine.Serve(reader, [&answers](const std::string& a) { answers.push_back(a); });
    // Nothing after quit is answered.
    EXPECT_EQ(answers, (std::vector<std::string>{"bbbbb..bw..wwwww b", "error: line too long",
                                                 "ok -", "ok"}));
}
