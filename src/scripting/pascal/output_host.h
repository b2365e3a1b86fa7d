#pragma once
// WriteLn and Write for scripts run outside the program (knloop-script, tests): each prints its arguments'
// texts joined, integers in decimal, strings as they are, booleans TRUE/FALSE, floats as FloatToStr gives
// them.
#include <functional>
#include <string>
#include <string_view>

#include "scripting/pascal/host.h"

namespace kinoloop::pascal {

class OutputHost : public ScriptHost {
public:
    using Sink = std::function<void(std::string_view)>;
    explicit OutputHost(Sink sink) : sink_(std::move(sink)) {}

    bool ScriptGetValue(std::string_view name, std::span<const Value> args, Value& result) override;
    bool ScriptSetValue(std::string_view, const Value&) override { return false; }

    // The text WriteLn prints for one value.
    static std::string Text(const Value& v);

private:
    Sink sink_;
};

}  // namespace kinoloop::pascal
