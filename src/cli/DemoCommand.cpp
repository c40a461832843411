#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/DemoPractice.h"

namespace quillory::cli {

int demoCommand(const Invocation& call) {
    const Arguments args(call.args, {"patients", "seed"}, 1);
    DemoOptions options;
    options.rootDir = args.positional(0);
    options.patients = args.number("patients", 200, 3, 10'000'000);
    options.seed = static_cast<std::uint64_t>(args.number("seed", 1, 0, 1LL << 62));
    const DemoSummary summary = createDemoPractice(options);
    call.env.out << "Demo practice in " << summary.practiceDir << ": " << summary.patients
                 << " patients, " << summary.cases << " cases, " << summary.carriers
                 << " carriers, " << summary.employers << " employers\n";
    return Success;
}

} // namespace quillory::cli
