#include "core/peaks/session.h"

#include "core/platform/paths.h"

namespace kestrana::peaks {

PeakSession& programPeakSession() {
    static PeakSession session;
    return session;
}

PeakFiles PeakFiles::in(const std::string& folder) {
    return PeakFiles{platform::joinPath(folder, "temp_peak.txt"),
                     platform::joinPath(folder, "temp_peak1.txt"), platform::joinPath(folder, "trcpeak"),
                     true};
}

} // namespace kestrana::peaks
