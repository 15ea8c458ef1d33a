#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

// One classified line of a settings-style file. The file's text is GBK; the strings here are
// its UTF-8, each decoded on its own after the line was split at its bytes.
struct SettingsEntry {
    char kind = 'e';  // 'o' key line, 'd' section header, 'n' comment, 'e' end of list
    std::string key;
    std::string value;
};

// Reads line-based files of "[section]" headers and "key=value" lines into memory and answers
// look-ups by key alone or by section and key. Never writes a file.
class SettingsFile {
  public:
    // A look-up whose key (or section and key) is not in the loaded file.
    static inline const std::string kNotFound = std::string(1, '\x02');
    // A look-up on a reader that holds no file.
    static inline const std::string kNotLoaded = std::string(1, '\x01');

    // The largest file read; a bigger one is no settings file and does not load.
    static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;

    // 1 when the file was read; -1 when it cannot be opened or read, or is no regular file (a
    // directory, a FIFO, a device: none of them is waited on), or is larger than kMaxBytes
    // (the path is still remembered, nothing is loaded); -2 when a file is already loaded
    // (nothing changes).
    int Load(const std::string& path);
    // The same for the bytes of a file held in memory; 1, or -2 when a file is already loaded.
    int LoadBytes(std::string_view bytes);

    // Look-ups that the loaded file cannot answer (kNotFound) are answered by `defaults`
    // instead, which may have defaults of its own. Kept until Clear.
    void SetDefaults(SettingsFile defaults);

    std::string GetValue(const std::string& key) const;
    std::string GetValue(const std::string& section, const std::string& key) const;
    int Clear();

    bool IsLoaded() const { return loaded_; }
    const std::string& path() const { return path_; }
    // Entries in file order, closed by one end entry; empty while nothing is loaded.
    const std::vector<SettingsEntry>& entries() const { return entries_; }

  private:
    void Parse(std::string_view bytes);
    void AddLine(const std::string& line);
    std::string OwnValue(const std::string& key) const;
    std::string OwnValue(const std::string& section, const std::string& key) const;

    std::string path_;
    std::vector<SettingsEntry> entries_;
    std::shared_ptr<const SettingsFile> defaults_;
    bool loaded_ = false;
};

}  // namespace kelvara
