#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/QueryServe.h"
#include "cli/StopSignal.h"

#include "channels/DbfSentDataTable.h"
#include "channels/NetworkShareCycle.h"
#include "log/DbfTransferLog.h"
#include "platform/dbase/LocalTables.h"
#include "settings/SettingsFile.h"

#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <thread>

namespace quillory::cli {

namespace {

bool fileExists(const std::string& path) {
    return QFileInfo::exists(QFile::decodeName(path.c_str()));
}

void printSummary(std::ostream& out, const CycleSummary& s) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", s.seconds);
    out << "charts collected " << s.collected << ", files written " << s.written << ", unchanged "
        << s.unchanged << ", failed " << s.failed << ", seconds " << seconds;
    if (s.stopped)
        out << " (stopped)";
    out << std::endl;
}

// Waits up to milliseconds, in short steps so that a stop request is seen at once.
bool waitUnlessStopped(const StopSignal& stop, int milliseconds) {
    using namespace std::chrono;
    const auto until = steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stop.requested() && steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return !stop.requested();
}

// Exit codes of one cycle: 1 only when the chart list could not be collected.
int runCycle(NetworkShareCycle& cycle, const StopSignal& stop, const Invocation& call) {
    const CycleSummary summary = cycle.FileCheckTimer([&stop] { return !stop.requested(); });
    printSummary(call.env.out, summary);
    if (summary.listFailed) {
        call.env.err << "Collecting the chart list failed: " << summary.listError << "\n";
        return Failure;
    }
    return Success;
}

int serveNetwork(const Invocation& call, DbfTransferLog& log) {
    DbfSentDataTable sentData(DbfSentDataTable::pathBeside(call.settingsPath));
    NetworkShareCycle cycle(call.settingsPath, log, sentData);
    StopSignal stop;
    int wait = NetworkShareCycle::firstIntervalMs;
    while (waitUnlessStopped(stop, wait)) {
        runCycle(cycle, stop, call);
        wait = NetworkShareCycle::intervalMs;
    }
    return Success;
}

std::string escapeLineBreaks(const std::string& field) {
    std::string out;
    for (char c : field) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

} // namespace

int initTablesCommand(const Invocation& call) {
    const Arguments args(call.args, {}, 0);
    const struct {
        std::string path;
        void (*create)(const std::string&);
    } tables[] = {{DbfTransferLog::pathBeside(call.settingsPath), dbase::createLogTable},
                  {DbfSentDataTable::pathBeside(call.settingsPath), dbase::createSentDataTable}};
    for (const auto& table : tables) {
        if (fileExists(table.path)) {
            call.env.out << "kept " << table.path << "\n";
            continue;
        }
        table.create(table.path);
        call.env.out << "created " << table.path << "\n";
    }
    return Success;
}

int cycleCommand(const Invocation& call) {
    const Arguments args(call.args, {}, 0);
    DbfTransferLog log(DbfTransferLog::pathBeside(call.settingsPath));
    DbfSentDataTable sentData(DbfSentDataTable::pathBeside(call.settingsPath));
    NetworkShareCycle cycle(call.settingsPath, log, sentData);
    StopSignal stop;
    return runCycle(cycle, stop, call);
}

int serveCommand(const Invocation& call) {
    const Arguments args(call.args, {}, 0);
    const std::string type =
        SettingsFile(call.settingsPath).ReadString("Options", "TransferType", "");
    DbfTransferLog log(DbfTransferLog::pathBeside(call.settingsPath));
    if (type == "Network")
        return serveNetwork(call, log);
    LoggingSwitch logging(SettingsFile(call.settingsPath).ReadString("Options", "Logging", "1") ==
                          "1");
    StopSignal stop;
    const auto keepGoing = [&stop] { return !stop.requested(); };
    if (type == "TCP")
        return serveTcp(call.settingsPath, log, logging, call.env.err, keepGoing);
    if (type == "Serial")
        return serveSerial(call.settingsPath, log, logging, call.env.err, keepGoing);
    call.env.err << "TransferType \"" << type
                 << "\" names no channel: it must be Network, TCP or Serial.\n";
    return Failure;
}

int logCommand(const Invocation& call) {
    const Arguments args(call.args, {}, 0);
    DbfTransferLog log(DbfTransferLog::pathBeside(call.settingsPath));
    std::ostream& out = call.env.out;
    const auto damage = log.forEach([&out](const DbfTransferLog::Entry& e) {
        out << escapeLineBreaks(e.transType) << '\t' << escapeLineBreaks(e.recPort) << '\t'
            << escapeLineBreaks(e.repPort) << '\t' << escapeLineBreaks(e.request) << '\t'
            << escapeLineBreaks(e.result) << '\n';
    });
    for (const std::string& text : damage)
        call.env.err << "skipped: " << text << "\n";
    return out.flush() && damage.empty() ? Success : Failure;
}

} // namespace quillory::cli
