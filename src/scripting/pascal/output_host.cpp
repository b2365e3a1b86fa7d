#include "scripting/pascal/output_host.h"

#include <strings.h>

#include "scripting/pascal/errors.h"

namespace kinoloop::pascal {

std::string OutputHost::Text(const Value& v) {
    if (v.IsBool()) return v.RawBool() ? "TRUE" : "FALSE";
    if (v.IsArray()) Fail("Illegal type in Write/WriteLn statement");
    return v.ToText();
}

bool OutputHost::ScriptGetValue(std::string_view name, std::span<const Value> args, Value&) {
    bool line = name.size() == 7 && strncasecmp(name.data(), "writeln", 7) == 0;
    bool plain = name.size() == 5 && strncasecmp(name.data(), "write", 5) == 0;
    if (!line && !plain) return false;
    std::string out;
    for (const Value& v : args) out += Text(v);
    if (line) out += '\n';
    sink_(out);
    return true;
}

}  // namespace kinoloop::pascal
