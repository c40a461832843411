#include "cli/CommandLine.h"

#include "cli/Arguments.h"
#include "cli/Commands.h"

#include <functional>

namespace quillory::cli {

namespace {

struct Command {
    const char* name;
    const char* synopsis;
    const char* summary;
    std::function<int(const Invocation&)> run;
};

const std::vector<Command>& commands() {
    static const std::vector<Command> list{
        {"message", "message CHART", "Writes the ADT^A28 message of CHART to stdout.",
         messageCommand},
        {"charts", "charts [--since \"yyyy-mm-dd hh:nn:ss\"]",
         "Lists the chart numbers changed since the date (all patients without it).",
         chartsCommand},
        {"table", "table FILE.adt", "Prints an Advantage table as CSV.", tableCommand},
        {"demo", "demo DIR [--patients N] [--seed S]",
         "Creates a demo Medisoft installation with one practice in DIR.", demoCommand},
        {"init-tables", "init-tables",
         "Creates the empty transfer log and sent-data table beside the settings file.",
         initTablesCommand},
        {"cycle", "cycle", "Runs one network-share cycle now.", cycleCommand},
        {"serve", "serve", "Runs the channel that TransferType names until SIGINT or SIGTERM.",
         serveCommand},
        {"log", "log", "Prints the transfer log, one record per line, fields separated by TAB.",
         logCommand},
    };
    return list;
}

void printHelp(std::ostream& out) {
    out << "Usage: quillory-cli [--settings FILE] COMMAND [ARGS]\n\n"
           "Options:\n"
           "  --settings FILE  the settings file (default: quillory.NFO beside the program)\n"
           "  --help           shows this text\n\n"
           "Commands:\n";
    for (const Command& command : commands())
        out << "  " << command.synopsis << "\n      " << command.summary << "\n";
}

int runCommand(const Command& command, const Invocation& call) {
    try {
        return command.run(call);
    } catch (const UsageError& e) {
        call.env.err << "quillory-cli " << command.name << ": " << e.message << "\n"
                     << "Usage: quillory-cli [--settings FILE] " << command.synopsis << "\n";
        return Usage;
    } catch (const std::exception& e) {
        call.env.err << "quillory-cli " << command.name << ": " << e.what() << "\n";
        return Failure;
    }
}

} // namespace

int run(const std::vector<std::string>& args, Environment& env) {
    std::string settingsPath = env.programDir + "/quillory.NFO";
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        if (args[i] == "--help") {
            printHelp(env.out);
            return Success;
        }
        if (args[i] != "--settings" || i + 1 >= args.size()) {
            env.err << "quillory-cli: unknown option " << args[i] << " (see --help)\n";
            return Usage;
        }
        settingsPath = args[++i];
    }
    if (i >= args.size()) {
        printHelp(env.err);
        return Usage;
    }
    for (const Command& command : commands()) {
        if (args[i] == command.name) {
            Invocation call{{args.begin() + i + 1, args.end()}, settingsPath, env};
            return runCommand(command, call);
        }
    }
    env.err << "quillory-cli: unknown command " << args[i] << " (see --help)\n";
    return Usage;
}

} // namespace quillory::cli
