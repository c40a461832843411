#include "cli/CommandLine.h"
#include "platform/time/LocalTimeZone.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv) {
    quillory::platform::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    quillory::cli::Environment env{std::cout, std::cerr,
                                   QCoreApplication::applicationDirPath().toStdString()};
    return quillory::cli::run(args, env);
}
