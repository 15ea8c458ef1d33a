#include "ExperienceStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>

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

}  // namespace

struct ExperienceStore::Cache {
    std::mutex mutex;
    std::unique_ptr<char[]> buffer;
    ExperienceIndex index;
    FileStamp stamp;
    // The index holds the file as `stamp` describes it, and a look-up may answer from it.
    bool trusted = false;
    std::size_t reads = 0;

    // Reads the open file `fd` (described by `stamp`) into the index, at most stamp.size bytes.
    void Read(int fd, const FileStamp& at);
};

void ExperienceStore::Cache::Read(int fd, const FileStamp& at) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    ++reads;
    index.Clear();
    if (!buffer) buffer = std::make_unique<char[]>(kBlockSize + ExperienceIndex::kPadding);
    char* const data = buffer.get();
    auto remaining = static_cast<std::uint64_t>(at.size);
    std::size_t have = 0;
    bool whole = true;
    for (;;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize - have, remaining));
        ssize_t got = 0;
        if (want > 0) {
            got = ::read(fd, data + have, want);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) whole = false;
        }
        const bool atEnd = got <= 0;
        if (got > 0) {
            have += static_cast<std::size_t>(got);
            remaining -= static_cast<std::uint64_t>(got);
        }
        std::memset(data + have, 0, ExperienceIndex::kPadding);
        const std::size_t used = index.AddLines(data, have, atEnd);
        if (atEnd) break;
        std::memmove(data, data + used, have - used);
        have -= used;
    }
    // Shorter than it was when opened, or changed meanwhile: the answers follow what was read,
    // and the next look-up reads the file again.
    struct stat after;
    const bool same = remaining == 0 && ::fstat(fd, &after) == 0 && FileStamp(after) == at;
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
