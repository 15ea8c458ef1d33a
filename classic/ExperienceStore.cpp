#include "ExperienceStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

#include "ExperienceIndex.h"
#include "ExperienceScanner.h"

namespace kelvara {

namespace {

// Bytes asked of each read(); the buffer is kept from one read of the file to the next.
constexpr std::size_t kBlockSize = 256u << 10;
// A file modified this recently when it was read is read again at the next look-up.
constexpr std::int64_t kRacyNanoseconds = 2'000'000'000;
// A large file is cut into no more pieces than this.
constexpr std::uint64_t kMostPieces = 32;

std::int64_t Nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// What tells one state of a file from another without reading it.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;

    explicit FileStamp(const struct stat& info)
        : device(info.st_dev),
          inode(info.st_ino),
          size(info.st_size),
          modified(Nanoseconds(info.st_mtim)),
          changed(Nanoseconds(info.st_ctim)) {}
    FileStamp() = default;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Hands bytes [from, to) of the open file `fd` to `reader` (an ExperienceIndex or an
// ExperienceScanner) through `buffer`, until the reader has found what it looks for or `stop`
// is set. False when a read fails, the file ends before `to`, or `stop` ended the reading.
template <class Reader>
bool ReadRange(int fd, std::uint64_t from, std::uint64_t to, char* buffer, Reader& reader,
               const std::atomic<bool>& stop) {
    std::uint64_t at = from;
    std::size_t have = 0;
    bool whole = true;
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) return false;
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize - have, to - at));
        ssize_t got = 0;
        if (want > 0) {
            got = ::pread(fd, buffer + have, want, static_cast<off_t>(at));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) whole = false;
        }
        const bool atEnd = got <= 0;
        if (got > 0) {
            have += static_cast<std::size_t>(got);
            at += static_cast<std::uint64_t>(got);
        }
        std::memset(buffer + have, 0, ExperienceIndex::kPadding);
        const std::size_t used = reader.AddLines(buffer, have, atEnd);
        if constexpr (std::is_same_v<Reader, ExperienceScanner>) {
            if (reader.Found()) return true;
        }
        if (atEnd) break;
        std::memmove(buffer, buffer + used, have - used);
        have -= used;
    }
    return whole && at == to;
}

// The start of the first line that begins at `middle` or after it, if it is near.
std::optional<std::uint64_t> LineStartFrom(int fd, std::uint64_t middle, std::uint64_t size) {
    char window[4096];
    const std::uint64_t from = middle - 1;
    const ssize_t got = ::pread(
        fd, window, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof window, size - from)),
        static_cast<off_t>(from));
    if (got <= 0) return std::nullopt;
    const void* end = std::memchr(window, '\n', static_cast<std::size_t>(got));
    if (end == nullptr) return std::nullopt;
    return from + static_cast<std::uint64_t>(static_cast<const char*>(end) - window) + 1;
}

// Where a large file is cut into pieces: the first byte of each piece (0 first) and the file's
// size last; nothing when it cannot be cut at line starts.
std::vector<std::uint64_t> PieceStarts(int fd, std::uint64_t size) {
    const std::uint64_t wanted =
        std::clamp<std::uint64_t>(size / ExperienceStore::kPieceBytes, 2, kMostPieces);
    std::vector<std::uint64_t> starts{0};
    for (std::uint64_t i = 1; i < wanted; ++i) {
        const std::optional<std::uint64_t> start = LineStartFrom(fd, size * i / wanted, size);
        if (start && *start > starts.back() && *start < size) starts.push_back(*start);
    }
    if (starts.size() < 2) return {};
    starts.push_back(size);
    return starts;
}

}  // namespace

struct ExperienceStore::Cache {
    std::mutex mutex;
    std::unique_ptr<char[]> buffers[2];
    ExperienceIndex index;
    FileStamp stamp;
    // The index holds the file as `stamp` describes it, and a look-up may answer from it.
    bool trusted = false;
    std::size_t reads = 0;

    // The index being built behind a look-up that answered by looking through the file.
    struct Build {
        std::thread thread;
        std::atomic<bool> stop{false};
        std::atomic<bool> done{false};
        ExperienceIndex index;
        FileStamp stamp;
        bool whole = false;  // the file was read whole and did not change meanwhile
    } build;

    ~Cache() { SettleBuild(false); }

    char* Buffer(int i) {
        if (!buffers[i])
            buffers[i] = std::make_unique<char[]>(kBlockSize + ExperienceIndex::kPadding);
        return buffers[i].get();
    }
    // The step of the first line of the open file `fd` (`size` bytes) that fits, looked for
    // without an index. A large file is looked through in pieces by two threads at once, each
    // taking the next piece left (so that a thread the machine runs less often reads less);
    // pieces after one with a fitting line are passed over.
    bool Scan(int fd, std::uint64_t size, const Board& board, CellCode side, MoveRecord& move);
    // Starts indexing the open file `fd` (described by `at`) in a thread of its own; the
    // calling thread indexes it when no thread can be started.
    void StartBuild(int fd, const FileStamp& at);
    // Ends the build: waits for it and, when `keep`, takes its index if it read the file
    // whole; otherwise stops it first and forgets what it read.
    void SettleBuild(bool keep);
};

bool ExperienceStore::Cache::Scan(int fd, std::uint64_t size, const Board& board, CellCode side,
                                  MoveRecord& move) {
    const std::atomic<bool> never{false};
    const std::vector<std::uint64_t> starts =
        size >= kSplitBytes ? PieceStarts(fd, size) : std::vector<std::uint64_t>{};
    if (starts.empty()) {
        ExperienceScanner scanner(board, side);
        ReadRange(fd, 0, size, Buffer(0), scanner, never);
        return scanner.Found(move);
    }
    const std::size_t count = starts.size() - 1;
    std::vector<ExperienceScanner> scanners;
    scanners.reserve(count);
    for (std::size_t i = 0; i < count; ++i) scanners.emplace_back(board, side);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> firstFound{count};
    const auto work = [&](char* buffer) {
        for (std::size_t i = next++; i < count; i = next++) {
            if (i > firstFound.load()) continue;
            ReadRange(fd, starts[i], starts[i + 1], buffer, scanners[i], never);
            if (!scanners[i].Found()) continue;
            std::size_t held = firstFound.load();
            while (i < held && !firstFound.compare_exchange_weak(held, i)) {
            }
        }
    };
    char* const first = Buffer(0);
    char* const second = Buffer(1);
    std::exception_ptr failure;
    std::thread helper;
    try {
        helper = std::thread([&] {
            try {
                work(second);
            } catch (...) {
                failure = std::current_exception();
                next = count;
            }
        });
    } catch (const std::system_error&) {
        // No second thread: this one reads every piece.
    }
    try {
        work(first);
    } catch (...) {
        next = count;
        if (helper.joinable()) helper.join();
        throw;
    }
    if (helper.joinable()) helper.join();
    if (failure) std::rethrow_exception(failure);
    return firstFound < count && scanners[firstFound].Found(move);
}

void ExperienceStore::Cache::StartBuild(int fd, const FileStamp& at) {
    ++reads;
    build.stop = false;
    build.done = false;
    build.stamp = at;
    build.whole = false;
    char* const buffer = Buffer(0);
    const auto run = [this, buffer, at](int file) {
        build.index.Clear();
        const bool whole = ReadRange(file, 0, static_cast<std::uint64_t>(at.size), buffer,
                                     build.index, build.stop);
        struct stat after;
        build.whole = whole && ::fstat(file, &after) == 0 && FileStamp(after) == at;
    };
    // A descriptor of its own, so that the look-up may close its one.
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy >= 0) {
        try {
            build.thread = std::thread([this, run, copy] {
                try {
                    run(copy);
                } catch (...) {
                    build.whole = false;
                }
                ::close(copy);
                build.done = true;
            });
            return;
        } catch (const std::system_error&) {
            ::close(copy);
        }
    }
    run(fd);
    build.done = true;
    if (build.whole) {
        std::swap(index, build.index);
        stamp = at;
        trusted = true;
    }
}

void ExperienceStore::Cache::SettleBuild(bool keep) {
    if (!build.thread.joinable()) return;
    if (!keep) build.stop = true;
    build.thread.join();
    if (keep && build.whole) {
        std::swap(index, build.index);
        stamp = build.stamp;
        trusted = true;
    }
    build.index.Clear();
}

ExperienceStore::ExperienceStore(std::string path)
    : path_(std::move(path)), cache_(std::make_unique<Cache>()) {}

ExperienceStore& ExperienceStore::operator=(const ExperienceStore& other) {
    if (this != &other) {
        path_ = other.path_;
        cache_ = std::make_unique<Cache>();
    }
    return *this;
}

ExperienceStore::~ExperienceStore() = default;

bool ExperienceStore::MatchExperienceLine(std::string_view line, const Board& board, CellCode side,
                                          MoveRecord& move) {
    return ExperienceIndex::MatchLine(line, board, side, move);
}

std::size_t ExperienceStore::FileReads() const {
    const std::lock_guard<std::mutex> lock(cache_->mutex);
    return cache_->reads;
}

bool ExperienceStore::LookUpExperience(const Board& board, CellCode side, MoveRecord& move) const {
    if (side != Black && side != White) return false;
    Cache& cache = *cache_;
    const std::lock_guard<std::mutex> lock(cache.mutex);
    // Non-blocking, so that a named pipe in the file's place cannot stall the caller.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) ::close(fd);
        cache.SettleBuild(false);
        cache.trusted = false;
        return false;
    }
    const FileStamp stamp(info);
    // A build of this state of the file is waited for; one of another state is of no use.
    if (cache.build.thread.joinable())
        cache.SettleBuild(cache.build.done || cache.build.stamp == stamp);
    if (cache.trusted && cache.stamp == stamp) {
        ::close(fd);
        return cache.index.Find(board, side, move);
    }
    cache.trusted = false;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    ++cache.reads;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    bool found = false;
    try {
        found = cache.Scan(fd, static_cast<std::uint64_t>(stamp.size), board, side, move);
        // A file modified this recently is looked through again at the next look-up: an edit
        // made right now could leave its stamp as it is.
        if (Nanoseconds(now) - stamp.modified >= kRacyNanoseconds) cache.StartBuild(fd, stamp);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return found;
}

}  // namespace kelvara
