#include "scripting/pascal/interpreter.h"

#include <cctype>

#include "scripting/pascal/compiler.h"
#include "scripting/pascal/nodes.h"
#include "scripting/pascal/parser.h"

namespace kinoloop::pascal {

namespace {
constexpr std::size_t kValueStackSlots = 1 << 16;
}

struct Interpreter::RunState {
    Ctx ctx;
};

Interpreter::Interpreter() : run_(std::make_unique<RunState>()) {}
Interpreter::~Interpreter() = default;

bool Interpreter::SetText(std::string text) {
    if (Running()) return false;
    text_ = std::move(text);
    hasText_ = true;
    program_.reset();
    compileError_.reset();
    compiled_ = false;
    loaded_ = false;
    globals_.clear();
    return true;
}

ScriptError Interpreter::MakeError(std::uint32_t line, std::uint32_t column, std::string text) const {
    ScriptError e;
    e.unit = program_ ? program_->unitName : std::string();
    e.line = line;
    e.column = column;
    e.text = std::move(text);
    return e;
}

std::optional<ScriptError> Interpreter::Compile() {
    if (compiled_) return compileError_;
    if (Running()) return MakeError(0, 0, "The program is running");
    compiled_ = true;
    ParseResult parsed = Parse(text_);
    if (!parsed.ok) {
        compileError_ = parsed.error;
        return compileError_;
    }
    CompileResult result = CompileUnit(parsed.unit);
    if (!result.program) {
        compileError_ = result.error;
        return compileError_;
    }
    program_ = std::move(result.program);
    return std::nullopt;
}

std::optional<ScriptError> Interpreter::RunMain(ScriptHost& host) {
    return Call("main", host, true);
}

std::optional<ScriptError> Interpreter::CallRoutine(std::string_view name, ScriptHost& host) {
    return Call(name, host, false);
}

std::optional<ScriptError> Interpreter::Call(std::string_view name, ScriptHost& host, bool isMain) {
    if (!Running()) {
        if (auto err = Compile()) return err;
    }
    if (!program_) return MakeError(0, 0, "No program");
    std::string lower(name);
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    auto found = program_->routineByName.find(lower);
    if (found == program_->routineByName.end() || !found->second->params.empty())
        return MakeError(0, 0, "Function '" + std::string(isMain ? "main" : name) + "' undefined");

    Ctx& c = run_->ctx;
    bool outermost = runDepth_ == 0;
    if (outermost) {
        if (!stack_) stack_ = std::make_unique<Value[]>(kValueStackSlots);
        c = Ctx{};
        c.sp = stack_.get();
        c.stackEnd = stack_.get() + kValueStackSlots;
        c.stop = &stop_;
        stop_.store(false, std::memory_order_relaxed);  // a request made while nothing ran is stale
        char base;
        c.stackBase = &base;
    }
    // A nested call (from inside a host call) runs above the suspended frames and leaves them as they were.
    Ctx saved = c;
    c.host = &host;
    ++runDepth_;
    std::optional<ScriptError> error;
    try {
        if (!loaded_) {
            globals_.clear();
            globals_.resize(static_cast<std::size_t>(program_->globalCount));
            for (const LocalInit& g : program_->globals)
                globals_[static_cast<std::size_t>(g.slot)] = DefaultValue(g.desc, g.type);
            loaded_ = true;
            c.globals = globals_.data();
            for (const auto& [slot, init] : program_->globalInits) {
                Value v = init->Eval(c);
                const LocalInit& g = program_->globals[static_cast<std::size_t>(slot)];
                StoreConverted(globals_[static_cast<std::size_t>(slot)], std::move(v), g.type, g.desc);
            }
        }
        c.globals = globals_.data();
        InvokeRoutine(c, *found->second, found->second->pos);
    } catch (const RuntimeFault& f) {
        error = MakeError(f.pos.line, f.pos.column, f.text);
    }
    --runDepth_;
    ScriptHost* outerHost = saved.host;
    c = saved;
    c.host = outerHost;
    if (outermost) stop_.store(false, std::memory_order_relaxed);
    return error;
}

}  // namespace kinoloop::pascal
