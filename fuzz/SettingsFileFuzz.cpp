// The settings reader on any file, against a plain rendering of the line rules: the entries in
// file order, closed by one end entry, and look-ups that give the first fitting value.
#include <vector>

#include "FuzzSupport.h"
#include "GbkCodec.h"
#include "SettingsFile.h"

using kelvara::GbkCodec;
using kelvara::SettingsEntry;
using kelvara::SettingsFile;

namespace {

// The lines of a file: LF ends a line; CR ends it too and takes the next byte along, which is
// dropped when it is LF and otherwise is the line's last byte.
std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
        } else if (c == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] != '\n') line += bytes[i + 1];
            ++i;
            lines.push_back(line);
            line.clear();
            open = false;
        } else {
            line += c;
            open = true;
        }
    }
    if (open) lines.push_back(line);
    return lines;
}

// Each part of a line is decoded from GBK after the split.
std::vector<SettingsEntry> Expected(std::string_view bytes) {
    std::vector<SettingsEntry> entries;
    for (const std::string& line : Lines(bytes)) {
        if (line.empty()) continue;
        if (line[0] == '#') {
            entries.push_back({'n', "", GbkCodec::GbkToUtf8(line)});
        } else if (line[0] == '[') {
            entries.push_back({'d', GbkCodec::GbkToUtf8(line), ""});
        } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
            entries.push_back({'o', GbkCodec::GbkToUtf8(line.substr(0, eq)),
                               GbkCodec::GbkToUtf8(line.substr(eq + 1))});
        }
    }
    entries.push_back({});
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kelvara::fuzz::ScratchFile file("settings");
    const std::string_view bytes = kelvara::fuzz::Bytes(data, size);
    file.Write(bytes);

    SettingsFile reader;
    KELVARA_FUZZ_CHECK(reader.Load(file.Path()) == 1);
    KELVARA_FUZZ_CHECK(reader.Load(file.Path()) == -2);
    const std::vector<SettingsEntry>& got = reader.entries();
    const std::vector<SettingsEntry> want = Expected(bytes);
    KELVARA_FUZZ_CHECK(got.size() == want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        KELVARA_FUZZ_CHECK(got[i].kind == want[i].kind);
        KELVARA_FUZZ_CHECK(got[i].key == want[i].key && got[i].value == want[i].value);
    }

    // Every key and every header of the file looked up: the first key line wins.
    std::string header;
    for (std::size_t i = 0; i + 1 < want.size(); ++i) {
        const SettingsEntry& e = want[i];
        if (e.kind == 'd') header = e.key;
        if (e.kind != 'o') continue;
        std::string first;
        bool found = false;
        for (std::size_t j = 0; j <= i && !found; ++j) {
            if (want[j].kind == 'o' && want[j].key == e.key) {
                first = want[j].value;
                found = true;
            }
        }
        KELVARA_FUZZ_CHECK(reader.GetValue(e.key) == first);
        if (header.size() >= 2 && header.back() == ']') {
            // The first line of that key under a header equal to this one.
            std::string under;
            std::string current;
            for (std::size_t j = 0; j <= i; ++j) {
                if (want[j].kind == 'd') current = want[j].key;
                if (want[j].kind == 'o' && current == header && want[j].key == e.key) {
                    under = want[j].value;
                    break;
                }
            }
            KELVARA_FUZZ_CHECK(reader.GetValue(header.substr(1, header.size() - 2), e.key) ==
                               under);
        }
    }
    KELVARA_FUZZ_CHECK(reader.Clear() == 1 && !reader.IsLoaded() && reader.entries().empty());
    KELVARA_FUZZ_CHECK(reader.GetValue("k") == SettingsFile::kNotLoaded);
    return 0;
}
