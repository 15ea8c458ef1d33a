// Drives the kelvara-engine program as a separate process over pipes, one line at a time.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "EngineProtocol.h"
#include "EngineTestSupport.h"

using kelvara::test::TempDir;

namespace {

class EngineProcess {
  public:
    // Starts the engine with `workDir` as its working directory.
    explicit EngineProcess(const std::string& workDir) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(in[0]);
            close(in[1]);
            close(out[0]);
            close(out[1]);
            if (chdir(workDir.c_str()) != 0) _exit(126);
            execl(KELVARA_ENGINE_BINARY, KELVARA_ENGINE_BINARY, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        toEngine_ = in[1];
        fromEngine_ = out[0];
    }
    ~EngineProcess() {
        CloseInput();
        if (fromEngine_ >= 0) close(fromEngine_);
        if (pid_ > 0 && !waited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool Started() const { return pid_ > 0 && toEngine_ >= 0; }
    pid_t Pid() const { return pid_; }

    void Send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(toEngine_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }

    // The next answer line without its LF, or "<timeout>" / "<eof>".
    std::string ReadLine(int timeoutMs = 10000) {
        for (;;) {
            const std::size_t nl = pending_.find('\n');
            if (nl != std::string::npos) {
                std::string line = pending_.substr(0, nl);
                pending_.erase(0, nl + 1);
                return line;
            }
            pollfd p{fromEngine_, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0) return "<timeout>";
            char buf[4096];
            const ssize_t n = read(fromEngine_, buf, sizeof buf);
            if (n <= 0) return "<eof>";
            pending_.append(buf, static_cast<std::size_t>(n));
        }
    }

    // Sends one line and waits for its answer; the answer must come before any further input.
    std::string Ask(const std::string& line) {
        Send(line + "\n");
        return ReadLine();
    }

    void CloseInput() {
        if (toEngine_ >= 0) close(toEngine_);
        toEngine_ = -1;
    }

    // Exit status after the engine ends by itself, or -1.
    int Wait() {
        int status = 0;
        for (int i = 0; i < 1000; ++i) {
            const pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                waited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int toEngine_ = -1;
    int fromEngine_ = -1;
    bool waited_ = false;
    std::string pending_;
};

}  // namespace

TEST(EngineProcess, AnswersEachLineAndUsesTheWorkingDirectorysExperience) {
    TempDir dir;
    // A stored answer that differs from what the search would pick.
    dir.Write("set/experience.dat", "200000000000000013D\r\n202222021001111143L\r\n");
    EngineProcess engine(dir.Path().string());
    ASSERT_TRUE(engine.Started());

    EXPECT_EQ(engine.Ask("board"), "bbbbb..bw..wwwww b");
    EXPECT_EQ(engine.Ask(""), "error: empty line");
    EXPECT_EQ(engine.Ask("hello there"), "error: unknown command");
    EXPECT_EQ(engine.Ask("play 21U\r"), "ok -");
    EXPECT_EQ(engine.Ask("go"), "bestmove 43L");
    EXPECT_EQ(engine.Ask("score 13r"), "21");
    kelvara::Board after21U;
    after21U.ApplyMove(kelvara::Black, 2, 1, kelvara::Up);
    EXPECT_EQ(engine.Ask("perft 3"),
              std::to_string(kelvara::EngineProtocol::Perft(after21U, kelvara::White, 3)));
    EXPECT_EQ(engine.Ask("play 43L"), "ok -");
    EXPECT_EQ(engine.Ask("result"), "none");
    EXPECT_EQ(engine.Ask("go").rfind("error: ", 0), 0u);

    // Several lines in one write: one answer each, in order.
    engine.Send("start\nlegal\neval\n");
    EXPECT_EQ(engine.ReadLine(), "ok");
    EXPECT_EQ(engine.ReadLine(), "12R 21U 31U 42L");
    EXPECT_EQ(engine.ReadLine(), "16");

    EXPECT_EQ(engine.Ask("quit"), "ok");
    EXPECT_EQ(engine.ReadLine(), "<eof>");
    EXPECT_EQ(engine.Wait(), 0);
}

TEST(EngineProcess, EndOfInputEndsIt) {
    TempDir dir;  // no set/experience.dat: the search answers
    EngineProcess engine(dir.Path().string());
    ASSERT_TRUE(engine.Started());
    engine.Send("play 21U\ngo");  // the last line lacks its line end
    engine.CloseInput();
    EXPECT_EQ(engine.ReadLine(), "ok -");
    EXPECT_EQ(engine.ReadLine(), "bestmove 13R");
    EXPECT_EQ(engine.ReadLine(), "<eof>");
    EXPECT_EQ(engine.Wait(), 0);
}

// Peak resident memory of a running process in kB, from /proc; -1 when unknown.
long PeakMemoryKb(pid_t pid) {
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (f == nullptr) return -1;
    char text[256];
    long kb = -1;
    while (std::fgets(text, sizeof text, f) != nullptr) {
        if (std::sscanf(text, "VmHWM: %ld kB", &kb) == 1) break;
    }
    std::fclose(f);
    return kb;
}

TEST(EngineProcess, AHugeLineIsRefusedWithoutBeingKept) {
    TempDir dir;
    EngineProcess engine(dir.Path().string());
    ASSERT_TRUE(engine.Started());
    EXPECT_EQ(engine.Ask("play 21U"), "ok -");
    // 64 MB without a line end, then its end and a command.
    const std::string mb(1 << 20, 'x');
    for (int i = 0; i < 64; ++i) engine.Send(mb);
    engine.Send("\nboard\n");
    EXPECT_EQ(engine.ReadLine(), "error: line too long");
    EXPECT_EQ(engine.ReadLine(), "b.bbbb.bw..wwwww w");
    const long peak = PeakMemoryKb(engine.Pid());
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 48 * 1024) << "the engine held the long line";
    EXPECT_EQ(engine.Ask("quit"), "ok");
    EXPECT_EQ(engine.Wait(), 0);
}
