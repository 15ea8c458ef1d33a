#pragma once

#include <string>
#include <string_view>

namespace kelvara {

// Writes a whole file so that a reader finds either the old file or the new one, never a
// part: the bytes go to a temporary file in the same folder, are flushed to the disk and the
// temporary file is renamed over the target. On any failure the temporary file is removed
// and the target is left as it was.
class AtomicFile {
  public:
    // False with the reason (e.g. "No space left on device") in `error` on failure.
    static bool Write(const std::string& path, std::string_view data, std::string& error);
};

}  // namespace kelvara
