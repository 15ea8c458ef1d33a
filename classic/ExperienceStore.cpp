#include "ExperienceStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "ExperienceIndex.h"

namespace kelvara {

namespace {

// Bytes asked of each read(); the buffer is kept from one read of the file to the next.
constexpr std::size_t kBlockSize = 256u << 10;
// A file modified this recently when it was read is read again at the next look-up.
constexpr std::int64_t kRacyNanoseconds = 2'000'000'000;

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
    ExperienceIndex later;  // the second half of a large file, read beside the first
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
    // Reads the file in two halves at once, the second in a thread of its own; false when the
    // halves cannot be read apart, leaving the index as it was.
    bool ReadInHalves(int fd, std::uint64_t size, bool& whole);
};

bool ExperienceStore::Cache::ReadInHalves(int fd, std::uint64_t size, bool& whole) {
    const std::optional<std::uint64_t> middle = LineStartFrom(fd, size / 2, size);
    if (!middle) return false;
    char* const first = Buffer(0);
    char* const second = Buffer(1);
    bool secondWhole = false;
    std::exception_ptr failure;
    std::thread reader;
    try {
        reader = std::thread([&] {
            try {
                secondWhole = ReadRange(fd, *middle, size, second, later);
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        return false;
    }
    bool firstWhole = false;
    try {
        firstWhole = ReadRange(fd, 0, *middle, first, index);
    } catch (...) {
        reader.join();
        throw;
    }
    reader.join();
    if (failure) std::rethrow_exception(failure);
    index.Merge(later);
    later.Clear();
    whole = firstWhole && secondWhole;
    return true;
}

void ExperienceStore::Cache::Read(int fd, const FileStamp& at) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    ++reads;
    const auto size = static_cast<std::uint64_t>(at.size);
    bool whole = false;
    if (size < kSplitBytes || !ReadInHalves(fd, size, whole))
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
