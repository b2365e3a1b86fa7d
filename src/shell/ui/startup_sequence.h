#pragma once
// The main window's start-up steps, run in order. A failing step is recorded with its name and the steps after
// it still run, so that nothing later parts rely on is left missing; the window reports the failures once shown.
#include <functional>
#include <string>
#include <vector>

namespace kinoloop {

class StartupSequence {
public:
    // A step returns "" when it succeeded, else what failed; a thrown exception counts as a failure too.
    using Step = std::function<std::string()>;
    void Add(std::string name, Step step) { steps_.push_back({std::move(name), std::move(step)}); }

    // Runs every step; returns the failures as "<step>: <what failed>".
    std::vector<std::string> Run();
    // Names of the steps in the order they ran (for tests and the log).
    const std::vector<std::string>& Ran() const { return ran_; }

private:
    struct Named {
        std::string name;
        Step step;
    };
    std::vector<Named> steps_;
    std::vector<std::string> ran_;
};

}  // namespace kinoloop
