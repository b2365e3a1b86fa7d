#include "script_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "scripting/pascal/interpreter.h"
#include "scripting/pascal/output_host.h"

namespace kinoloop::testing {

namespace {
class NoHost : public pascal::ScriptHost {
public:
    bool ScriptGetValue(std::string_view, std::span<const pascal::Value>, pascal::Value&) override {
        return false;
    }
    bool ScriptSetValue(std::string_view, const pascal::Value&) override { return false; }
};
}  // namespace

std::string RunScript(const std::string& text, pascal::ScriptHost* extra) {
    std::string out;
    pascal::OutputHost console([&out](std::string_view s) { out += s; });
    NoHost none;
    pascal::HostChain host(console, extra ? *extra : none);
    pascal::Interpreter interpreter;
    interpreter.SetText(text);
    if (auto error = interpreter.RunMain(host)) out += "ERROR: " + error->Message() + "\n";
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::filesystem::path SourceDir() {
    const char* dir = std::getenv("KINOLOOP_SOURCE_DIR");
    return dir ? dir : KINOLOOP_TEST_SOURCE_DIR;
}

std::filesystem::path BuildDir() {
    const char* dir = std::getenv("KINOLOOP_BUILD_DIR");
    return dir ? dir : KINOLOOP_TEST_BUILD_DIR;
}

}  // namespace kinoloop::testing
