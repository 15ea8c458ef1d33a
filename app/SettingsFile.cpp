#include "SettingsFile.h"

#include <cstdio>

#include "GbkCodec.h"

namespace kelvara {

int SettingsFile::Load(const std::string& path) {
    if (loaded_) return -2;
    path_ = path;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return -1;

    entries_.clear();
    std::string line;
    bool pending = false;  // bytes of a last line without a line end
    char buffer[4096];
    bool afterCr = false;  // the previous byte was a CR: this byte belongs to that line end
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buffer[i];
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
    }
    // A read that fails, as on a directory (which opens like a file), loads nothing: the
    // caller must not take a half-read or unreadable file for an empty one.
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        entries_.clear();
        return -1;
    }
    if (afterCr || pending) AddLine(line);
    entries_.push_back(SettingsEntry{});
    loaded_ = true;
    return 1;
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
    if (!loaded_) return kNotLoaded;
    for (const SettingsEntry& e : entries_) {
        if (e.kind == 'o' && e.key == key) return e.value;
    }
    return kNotFound;
}

std::string SettingsFile::GetValue(const std::string& section, const std::string& key) const {
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
    loaded_ = false;
    return 1;
}

}  // namespace kelvara
