#include "ChannelTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace quillory::test {

namespace {

// The channels need an application object for their event loops and socket notifiers.
class CoreApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_channels";
        static char* argv[] = {name, nullptr};
        app_ = new QCoreApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QCoreApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

} // namespace

TempSettings::TempSettings(const std::string& options) {
    write(options);
}

std::string TempSettings::path() const {
    return dir() + "/quillory.NFO";
}

void TempSettings::write(const std::string& options) const {
    QFile file(QString::fromStdString(path()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error("cannot write " + path());
    const std::string text = "[Options]\n" + options;
    file.write(text.data(), qint64(text.size()));
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

} // namespace quillory::test
