#pragma once

#include <filesystem>

namespace obsgrid {

// True when the two paths lead to the same file: the same existing file
// through any path, symbolic link or hard link, or, for a file that does not
// exist yet, the same place once every link on the way is followed.
bool namesSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace obsgrid
