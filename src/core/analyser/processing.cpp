#include "core/analyser/processing.h"

#include "core/platform/errors.h"
#include "core/platform/text.h"
#include "core/runfile/output_files.h"

namespace kestrana::analyser {

ProcessedRun processData(const std::string& inputPath, const std::optional<std::string>& outputPath) {
    ProcessedRun run;
    run.table = runfile::loadBlockTable(inputPath);
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
