#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/StopSignal.h"

#include "practice/TfrmDataTransfer.h"
#include "settings/SettingsFile.h"

namespace quillory::cli {

namespace {

// Failures to open the practice, which the builds that follow report again in their own words.
class StderrErrorReport : public ErrorReport {
public:
    explicit StderrErrorReport(std::ostream& err) : err_(err) {}
    void showError(const std::string& message) override {
        err_ << "Cannot open the practice: " << message << "\n";
    }

private:
    std::ostream& err_;
};

} // namespace

int messageCommand(const Invocation& call) {
    const Arguments args(call.args, {}, 1);
    StderrErrorReport errors(call.env.err);
    TfrmDataTransfer practice(call.settingsPath, errors);
    std::string text = args.positional(0);
    if (!practice.BuildDemographicsMessage(text)) {
        call.env.err << text << "\n";
        return Failure;
    }
    call.env.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return call.env.out.flush() ? Success : Failure;
}

int chartsCommand(const Invocation& call) {
    const Arguments args(call.args, {"since"}, 0);
    LocalDateTime since = LocalDateTime::zero();
    if (const auto text = args.option("since")) {
        const auto parsed = parseSettingsDateTime(*text);
        if (!parsed)
            throw UsageError{"--since needs a date and time \"yyyy-mm-dd hh:nn:ss\", not \"" +
                             *text + "\""};
        since = *parsed;
    }
    StderrErrorReport errors(call.env.err);
    TfrmDataTransfer practice(call.settingsPath, errors);
    std::vector<std::string> charts;
    StopSignal stop;
    if (!practice.CollectChartNumbers(charts, since, [&stop] { return !stop.requested(); })) {
        call.env.err << (charts.empty() ? std::string() : charts.front()) << "\n";
        return Failure;
    }
    for (const std::string& chart : charts)
        call.env.out << chart << '\n';
    return call.env.out.flush() ? Success : Failure;
}

} // namespace quillory::cli
