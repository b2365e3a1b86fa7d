#pragma once
// The evaluator's tree. The compiler resolves every name it can (locals and globals to slots, routines to
// their bodies, built-ins to functions, constants to values) so that running a program never looks a name up;
// only names nobody declared are left for the host, by name.
#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "scripting/pascal/errors.h"
#include "scripting/pascal/host.h"
#include "scripting/pascal/value.h"

namespace kinoloop::pascal {

// A declared type with what a store needs: the type, and for arrays the bounds and element type.
struct TypeDesc {
    TypeId id = TypeId::Variant;
    std::int64_t low = 0;
    std::int64_t high = -1;
    const TypeDesc* elem = nullptr;
    std::int64_t cells = 1;  // values an array of this type holds, nested arrays counted whole
};

Value DefaultValue(const TypeDesc* desc, TypeId id);
// Converts v for a variable of the given type and stores it into dst.
void StoreConverted(Value& dst, Value v, TypeId id, const TypeDesc* desc);

struct Program;

// The state of one run.
struct Ctx {
    Value* fp = nullptr;  // the current routine's frame: [Result, parameters..., locals...]
    Value* sp = nullptr;  // first free slot of the value stack
    Value* stackEnd = nullptr;
    Value* globals = nullptr;
    ScriptHost* host = nullptr;  // null while constants are evaluated
    const std::atomic<bool>* stop = nullptr;
    const char* stackBase = nullptr;  // C++ stack address where the run began
    int depth = 0;
    const Value* currentException = nullptr;  // the exception an except block handles, for a bare raise
};

// Control flow out of a statement.
enum class Flow : std::uint8_t { Normal, Break, Continue, Exit };

struct Node {
    explicit Node(SourcePos p) : pos(p) {}
    virtual ~Node() = default;
    SourcePos pos;
};

struct ExprNode : Node {
    using Node::Node;
    virtual Value Eval(Ctx& c) const = 0;
    virtual bool EvalBool(Ctx& c) const { return Eval(c).ToBool(); }
    virtual bool IsLiteral() const { return false; }
};
using ExprPtr = std::unique_ptr<ExprNode>;

// Something a script can assign to.
struct LValue : ExprNode {
    using ExprNode::ExprNode;
    // The storage itself, owned by this lvalue alone (shared arrays are copied first), or null when the thing
    // has no storage of its own (a character of a string, a host name).
    virtual Value* Ref(Ctx& c) const = 0;
    virtual void Store(Ctx& c, Value v) const = 0;
};

struct StmtNode : Node {
    using Node::Node;
    virtual Flow Exec(Ctx& c) const = 0;
};
using StmtPtr = std::unique_ptr<StmtNode>;

struct ParamInfo {
    bool byRef = false;
    TypeId type = TypeId::Variant;
    const TypeDesc* desc = nullptr;
};

struct LocalInit {
    int slot = 0;
    TypeId type = TypeId::Variant;
    const TypeDesc* desc = nullptr;
};

struct RoutineInfo {
    std::string name;  // lower case
    std::string raw;
    SourcePos pos{};
    bool isFunction = false;
    std::vector<ParamInfo> params;
    TypeId resultType = TypeId::Variant;
    const TypeDesc* resultDesc = nullptr;
    std::vector<LocalInit> locals;  // slots to set to their type's default on entry
    int frameSize = 1;
    StmtPtr body;
};

struct Program {
    std::string unitName;  // as written
    std::deque<TypeDesc> types;
    std::vector<LocalInit> globals;
    std::vector<std::pair<int, ExprPtr>> globalInits;  // "var x: Integer = 5;"
    int globalCount = 0;
    std::vector<std::unique_ptr<RoutineInfo>> routines;
    std::unordered_map<std::string, RoutineInfo*> routineByName;
};

// Runs a routine whose arguments are already in the frame slots [1, params]; used for calls from outside.
Value InvokeRoutine(Ctx& c, const RoutineInfo& r, SourcePos pos);

[[noreturn]] void FailAt(SourcePos pos, std::string text, std::string className = "Exception");
[[noreturn]] void FailFatal(SourcePos pos, std::string text);

}  // namespace kinoloop::pascal
