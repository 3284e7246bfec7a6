#include "core/analyser/processing.h"

#include "core/platform/errors.h"
#include "core/platform/text.h"
#include "core/runfile/output_files.h"

#include <cstdio>
#include <filesystem>

namespace kestrana::analyser {

namespace {
// Removes the scratch file when the step ends, whether it succeeded or not: it is only ever a
// stage between the run file and the table.
class ScratchGuard {
public:
    explicit ScratchGuard(const std::string& path) : path_(path) {}
    ~ScratchGuard() { removeNow(); }
    ScratchGuard(const ScratchGuard&) = delete;
    ScratchGuard& operator=(const ScratchGuard&) = delete;
    void removeNow() {
        if (!removed_) {
            std::remove(path_.c_str());
            removed_ = true;
        }
    }

private:
    const std::string& path_;
    bool removed_ = false;
};
} // namespace

ProcessedRun processData(const std::string& inputPath, const std::optional<std::string>& outputPath,
                         const std::string& scratchPath) {
    // The step writes and deletes its scratch file: a run file at that path would be lost.
    std::error_code ignored;
    if (std::filesystem::equivalent(inputPath, scratchPath, ignored)) {
        throw platform::KestranaError(
            "the run file is the scratch file of this step; copy it elsewhere first", inputPath);
    }
    ScratchGuard scratch(scratchPath);
    ProcessedRun run;
    run.table = runfile::loadBlockTable(inputPath, scratchPath);
    // The table is in memory now: the scratch file goes before the output is written, so that an
    // output path naming the scratch file keeps the output.
    scratch.removeNow();
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
