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
#include <vector>

#include "ExperienceIndex.h"

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

// Reads bytes [from, to) of the open file `fd` into `index` through `buffer`. False when a read
// fails or the file ends before `to`.
bool ReadRange(int fd, std::uint64_t from, std::uint64_t to, char* buffer, ExperienceIndex& index) {
    index.Clear(from);
    std::uint64_t at = from;
    std::size_t have = 0;
    bool whole = true;
    for (;;) {
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
        const std::size_t used = index.AddLines(buffer, have, atEnd);
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

}  // namespace

struct ExperienceStore::Cache {
    std::mutex mutex;
    std::unique_ptr<char[]> buffers[2];
    ExperienceIndex index;
    // The pieces of a large file, each read into one of these, then merged in file order.
    std::vector<ExperienceIndex> pieces;
    FileStamp stamp;
    // The index holds the file as `stamp` describes it, and a look-up may answer from it.
    bool trusted = false;
    std::size_t reads = 0;

    char* Buffer(int i) {
        if (!buffers[i])
            buffers[i] = std::make_unique<char[]>(kBlockSize + ExperienceIndex::kPadding);
        return buffers[i].get();
    }
    // Reads the open file `fd` (described by `stamp`) into the index, at most stamp.size bytes.
    void Read(int fd, const FileStamp& at);
    // Reads the file in pieces by two threads at once, each taking the next piece nobody has
    // taken yet, so that a thread the machine runs less often reads less; false when the file
    // cannot be cut at line starts, leaving the index as it was.
    bool ReadInPieces(int fd, std::uint64_t size, bool& whole);
};

bool ExperienceStore::Cache::ReadInPieces(int fd, std::uint64_t size, bool& whole) {
    const std::uint64_t wanted = std::clamp<std::uint64_t>(size / kPieceBytes, 2, kMostPieces);
    std::vector<std::uint64_t> starts{0};
    for (std::uint64_t i = 1; i < wanted; ++i) {
        const std::optional<std::uint64_t> start = LineStartFrom(fd, size * i / wanted, size);
        if (start && *start > starts.back() && *start < size) starts.push_back(*start);
    }
    if (starts.size() < 2) return false;
    starts.push_back(size);
    const std::size_t count = starts.size() - 1;
    if (pieces.size() < count) pieces.resize(count);

    std::atomic<std::size_t> next{0};
    std::atomic<bool> broken{false};
    // Reads pieces until none is left; any piece read short makes the whole read short.
    const auto work = [&](char* buffer) {
        for (std::size_t i = next++; i < count; i = next++) {
            if (!ReadRange(fd, starts[i], starts[i + 1], buffer, pieces[i])) broken = true;
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
    std::swap(index, pieces[0]);
    for (std::size_t i = 1; i < count; ++i) index.Merge(pieces[i]);
    whole = !broken;
    return true;
}

void ExperienceStore::Cache::Read(int fd, const FileStamp& at) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    ++reads;
    const auto size = static_cast<std::uint64_t>(at.size);
    bool whole = false;
    if (size < kSplitBytes || !ReadInPieces(fd, size, whole))
        whole = ReadRange(fd, 0, size, Buffer(0), index);
    // Shorter than it was when opened, or changed meanwhile: the answers follow what was read,
    // and the next look-up reads the file again.
    struct stat after;
    const bool same = ::fstat(fd, &after) == 0 && FileStamp(after) == at;
    stamp = at;
    trusted = whole && same && Nanoseconds(now) - at.modified >= kRacyNanoseconds;
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
    if (fd < 0) {
        cache.trusted = false;
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        cache.trusted = false;
        return false;
    }
    const FileStamp stamp(info);
    if (!cache.trusted || !(stamp == cache.stamp)) cache.Read(fd, stamp);
    ::close(fd);
    return cache.index.Find(board, side, move);
}

}  // namespace kelvara
