#pragma once
// The interpreter's own routines (Sin, Copy, Format ...), found after the script's declarations and before
// the host's names.
#include <span>
#include <string_view>

#include "scripting/pascal/nodes.h"

namespace kinoloop::pascal {

struct BuiltinInfo {
    const char* name;  // as documented; looked up in lower case
    BuiltinFn fn;
    int minArgs;
    int maxArgs;
};

const BuiltinInfo* FindBuiltin(std::string_view lowerName);
std::span<const BuiltinInfo> AllBuiltins();

// Format's rules: %d %u %x %s %f %e %g %n with width, "-" and precision; %% for a percent sign.
std::string FormatText(const std::string& pattern, std::span<const Value> args);

}  // namespace kinoloop::pascal
