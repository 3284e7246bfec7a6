#include "command.h"
#include "core/history/forecast_list.h"
#include "core/history/history_csv.h"
#include "history_steps.h"

#include <ostream>

namespace kestrana::cli {
namespace {

// The forecast of every block of a km range, as CSV in the list's order.
class ForecastCommand : public Command {
public:
    std::string name() const override { return "forecast"; }
    std::string synopsis() const override {
        return "forecast --line TEXT --direction D [--from KM] [--to KM] [--index NAME] [--below X] [--jump "
               "J] "
               "[--library FILE]";
    }
    std::vector<OptionInfo> options() const override {
        return {{"line"},  {"direction"}, {"from"}, {"to"},
                {"index"}, {"below"},     {"jump"}, history_steps::kLibraryOption};
    }
    std::size_t minFiles() const override { return 0; }
    std::size_t maxFiles() const override { return 0; }

    int run(const Arguments& args, Context& context) override {
        const history::HistorySettings settings = history_steps::settingsOf(args);
        // A missing bound is the end of the 16-bit km scale: --from alone takes every km from there on.
        const std::int16_t from = history_steps::typedSetting(args, "from", "-32768", history::kmFromText);
        const std::int16_t to = history_steps::typedSetting(args, "to", "32767", history::kmFromText);
        const auto library = history_steps::openLibrary(args, history::LibraryAccess::OpenExisting);
        const history::Series series = history_steps::seriesOf(args, *library);
        try {
            const auto rows =
                history::forecastRows(*library, series, history::kmRangeBetween(from, to), settings);
            context.out << history::forecastCsv(rows);
        } catch (const platform::KestranaError& error) {
            throw Refusal(error.reason());
        }
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeForecastCommand() {
    return std::make_unique<ForecastCommand>();
}

} // namespace kestrana::cli
