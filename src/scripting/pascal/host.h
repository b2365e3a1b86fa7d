#pragma once
// What the program around the interpreter offers a script: names the script neither declares nor finds among
// the built-ins go to the host, which answers whether it took them (Done).
#include <span>
#include <string_view>

#include "scripting/pascal/value.h"

namespace kinoloop::pascal {

class ScriptHost {
public:
    virtual ~ScriptHost() = default;

    // Reading a name, or calling it with the evaluated arguments. The name is as the script wrote it; hosts
    // compare it without regard to case. Returns Done.
    virtual bool ScriptGetValue(std::string_view name, std::span<const Value> args, Value& result) = 0;

    // Assigning to a name. Returns Done.
    virtual bool ScriptSetValue(std::string_view name, const Value& value) = 0;
};

}  // namespace kinoloop::pascal

namespace kinoloop::pascal {

// Offers each name to a first host, then to a second (a console's WriteLn in front of the bridge).
class HostChain : public ScriptHost {
public:
    HostChain(ScriptHost& first, ScriptHost& second) : first_(first), second_(second) {}
    bool ScriptGetValue(std::string_view name, std::span<const Value> args, Value& result) override {
        return first_.ScriptGetValue(name, args, result) || second_.ScriptGetValue(name, args, result);
    }
    bool ScriptSetValue(std::string_view name, const Value& value) override {
        return first_.ScriptSetValue(name, value) || second_.ScriptSetValue(name, value);
    }

private:
    ScriptHost& first_;
    ScriptHost& second_;
};

}  // namespace kinoloop::pascal
