#include "SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "GbkCodec.h"

namespace kelvara {

namespace {

// The whole of a regular file, read without ever waiting on it: the open does not block on a
// FIFO without a writer, and anything but a regular file is refused before the first read.
bool ReadRegularFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<std::uintmax_t>(info.st_size) <= SettingsFile::kMaxBytes;
    bytes.clear();
    char buffer[4096];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
        } else if (bytes.size() + static_cast<std::size_t>(n) > SettingsFile::kMaxBytes) {
            ok = false;  // grown beyond the limit while read
        } else {
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return ok;
}

}  // namespace

int SettingsFile::Load(const std::string& path) {
    if (loaded_) return -2;
    path_ = path;
    // A file that cannot be read whole loads nothing: the caller must not take a half-read or
    // unreadable file for an empty one.
    std::string bytes;
    if (!ReadRegularFile(path, bytes)) return -1;
    Parse(bytes);
    return 1;
}

int SettingsFile::LoadBytes(std::string_view bytes) {
    if (loaded_) return -2;
    Parse(bytes);
    return 1;
}

void SettingsFile::Parse(std::string_view bytes) {
    entries_.clear();
    std::string line;
    bool pending = false;  // bytes of a last line without a line end
    bool afterCr = false;  // the previous byte was a CR: this byte belongs to that line end
    for (const char c : bytes) {
        if (afterCr) {
            // The byte after a CR is consumed with it: dropped when it is LF, otherwise the
            // line's last byte.
            afterCr = false;
            if (c != '\n') line.push_back(c);
            AddLine(line);
            line.clear();
            pending = false;
            continue;
        }
        if (c == '\n') {
            AddLine(line);
            line.clear();
            pending = false;
        } else if (c == '\r') {
            afterCr = true;
        } else {
            line.push_back(c);
            pending = true;
        }
    }
    if (afterCr || pending) AddLine(line);
    entries_.push_back(SettingsEntry{});
    loaded_ = true;
}

void SettingsFile::SetDefaults(SettingsFile defaults) {
    defaults_ = std::make_shared<const SettingsFile>(std::move(defaults));
}

void SettingsFile::AddLine(const std::string& line) {
    // The kind is told by the first byte, and '=' is never part of a GBK character, so the
    // raw bytes classify and split the line before any decoding.
    if (line.empty()) return;
    const std::string_view bytes = line;
    if (line[0] == '#') {
        entries_.push_back(SettingsEntry{'n', std::string(), GbkCodec::GbkToUtf8(bytes)});
    } else if (line[0] == '[') {
        entries_.push_back(SettingsEntry{'d', GbkCodec::GbkToUtf8(bytes), std::string()});
    } else {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) return;
        entries_.push_back(SettingsEntry{'o', GbkCodec::GbkToUtf8(bytes.substr(0, eq)),
                                         GbkCodec::GbkToUtf8(bytes.substr(eq + 1))});
    }
}

std::string SettingsFile::GetValue(const std::string& key) const {
    std::string value = OwnValue(key);
    if (value == kNotFound && defaults_ != nullptr) {
        std::string fallback = defaults_->GetValue(key);
        if (fallback != kNotLoaded) value = std::move(fallback);
    }
    return value;
}

std::string SettingsFile::GetValue(const std::string& section, const std::string& key) const {
    std::string value = OwnValue(section, key);
    if (value == kNotFound && defaults_ != nullptr) {
        std::string fallback = defaults_->GetValue(section, key);
        if (fallback != kNotLoaded) value = std::move(fallback);
    }
    return value;
}

std::string SettingsFile::OwnValue(const std::string& key) const {
    if (!loaded_) return kNotLoaded;
    for (const SettingsEntry& e : entries_) {
        if (e.kind == 'o' && e.key == key) return e.value;
    }
    return kNotFound;
}

std::string SettingsFile::OwnValue(const std::string& section, const std::string& key) const {
    if (!loaded_) return kNotLoaded;
    const std::string header = "[" + section + "]";
    std::string current;
    for (const SettingsEntry& e : entries_) {
        if (e.kind == 'd')
            current = e.key;
        else if (e.kind == 'o' && current == header && e.key == key)
            return e.value;
    }
    return kNotFound;
}

int SettingsFile::Clear() {
    path_.clear();
    entries_.clear();
    defaults_.reset();
    loaded_ = false;
    return 1;
}

}  // namespace kelvara
