#include "driver/path_identity.h"

#include <system_error>

namespace fs = std::filesystem;

namespace obsgrid {

namespace {

// Where a path leads once its links are followed, also for a link whose
// target does not exist yet (opening it for writing would create the target).
fs::path resolvedLocation(fs::path p) {
    constexpr int maxLinkHops = 40;
    std::error_code ec;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    fs::path absolute = fs::absolute(p, ec);
    if (ec) return p.lexically_normal();
    fs::path canonical = fs::weakly_canonical(absolute, ec);
    return ec ? absolute.lexically_normal() : canonical;
}

}  // namespace

bool namesSameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec) && !ec;
    return resolvedLocation(a) == resolvedLocation(b);
}

}  // namespace obsgrid
