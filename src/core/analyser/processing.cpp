#include "analyser/processing.h"

#include "platform/text.h"
#include "runfile/output_files.h"

#include <cstdio>

namespace kestrana::analyser {

namespace {
// Removes the scratch file when the step ends, whether it succeeded or not: it is only ever a
// stage between the run file and the table.
class ScratchGuard {
public:
    explicit ScratchGuard(const std::string& path) : path_(path) {}
    ~ScratchGuard() { std::remove(path_.c_str()); }
    ScratchGuard(const ScratchGuard&) = delete;
    ScratchGuard& operator=(const ScratchGuard&) = delete;

private:
    const std::string& path_;
};
} // namespace

ProcessedRun processData(const std::string& inputPath, const std::optional<std::string>& outputPath,
                         const std::string& scratchPath) {
    ScratchGuard scratch(scratchPath);
    ProcessedRun run;
    run.table = runfile::loadBlockTable(inputPath, scratchPath);
    if (outputPath) {
        runfile::writeSdOutputFile(*outputPath, run.table);
    }
    const runfile::RunHeader& header = run.table.header;
    run.runDate = header.date();
    run.runNumber = header.runNumber();
    run.section = header.section();
    run.kmFrom = platform::plainInt(run.table.kmFrom());
    run.kmTo = platform::plainInt(run.table.kmTo());
    return run;
}

} // namespace kestrana::analyser
