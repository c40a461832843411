// Builds the message of every patient of a practice on one practice data object and reports
// messages per second and peak memory.
//
//   message_throughput SETTINGS_FILE
//
// bench/run-message-bench creates the demo practice and the settings file first.
#include "platform/time/LocalTimeZone.h"
#include "practice/TfrmDataTransfer.h"

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

class PrintingErrorReport : public quillory::ErrorReport {
public:
    void showError(const std::string& message) override {
        std::fprintf(stderr, "error: %s\n", message.c_str());
    }
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SETTINGS_FILE\n", argv[0]);
        return 2;
    }
    quillory::platform::pinLocalTimeZone();
    PrintingErrorReport errors;
    auto start = std::chrono::steady_clock::now();
    quillory::TfrmDataTransfer practice(argv[1], errors);
    std::vector<std::string> charts;
    if (!practice.CollectChartNumbers(charts, quillory::LocalDateTime::zero())) {
        std::fprintf(stderr, "chart selection failed: %s\n", charts.front().c_str());
        return 1;
    }
    const double selectSeconds = secondsSince(start);

    start = std::chrono::steady_clock::now();
    std::size_t bytes = 0, failed = 0;
    std::string text;
    for (const std::string& chart : charts) {
        text = chart;
        if (practice.BuildDemographicsMessage(text))
            bytes += text.size();
        else
            ++failed;
    }
    const double buildSeconds = secondsSince(start);
    std::printf("charts %zu, failed %zu, message bytes %zu\n", charts.size(), failed, bytes);
    std::printf("open + chart selection: %.3f s\n", selectSeconds);
    std::printf("build: %.3f s, %.0f messages/s\n", buildSeconds, charts.size() / buildSeconds);
    std::printf("peak memory: %.1f MB\n", peakKilobytes() / 1024.0);
    return failed == charts.size() ? 1 : 0;
}
