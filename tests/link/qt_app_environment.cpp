// The engine's waits and sockets need a Qt application object; one lives for the whole test program.
#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) app_ = new QCoreApplication(argc_, argv_);
    }
    void TearDown() override { delete app_; }

private:
    int argc_ = 1;
    char name_[16] = "link_tests";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace
