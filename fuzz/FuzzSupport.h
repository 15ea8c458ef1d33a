#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace kelvara::fuzz {

// Stops the run with a message when an invariant does not hold; libFuzzer keeps the input.
#define KELVARA_FUZZ_CHECK(condition)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// One scratch file per process for the readers that take a path; rewritten for every input.
// It lives in memory (/dev/shm) where there is one: rewriting a file on disk costs a flush.
class ScratchFile {
  public:
    explicit ScratchFile(const char* name) {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(dir) + "/kelvara-fuzz-" + name + "-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) std::abort();
        close(fd);
        path_ = pattern;
    }
    ~ScratchFile() { unlink(path_.c_str()); }

    const std::string& Path() const { return path_; }

    void Write(std::string_view bytes) const {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (f == nullptr) std::abort();
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
            std::abort();
        if (std::fclose(f) != 0) std::abort();
    }

  private:
    std::string path_;
};

}  // namespace kelvara::fuzz
