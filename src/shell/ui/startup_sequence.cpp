#include "shell/ui/startup_sequence.h"

#include <exception>

namespace kinoloop {

std::vector<std::string> StartupSequence::Run() {
    std::vector<std::string> failures;
    for (const Named& named : steps_) {
        ran_.push_back(named.name);
        std::string failure;
        try {
            failure = named.step();
        } catch (const std::exception& e) {
            failure = e.what();
        } catch (...) {
            failure = "unknown error";
        }
        if (!failure.empty()) failures.push_back(named.name + ": " + failure);
    }
    return failures;
}

}  // namespace kinoloop
