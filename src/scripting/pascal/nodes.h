#pragma once
// The node classes of the evaluator's tree. Hot paths (variables, integer arithmetic, comparisons, loops) are
// written so that integers never leave their registers' worth of work: no allocation, no name lookup.
#include <vector>

#include "scripting/pascal/ops.h"
#include "scripting/pascal/runtime.h"

namespace kinoloop::pascal {

// ---- failures with a place
[[noreturn]] void ThrowStopped(SourcePos pos);

inline void CheckStop(const Ctx& c, SourcePos pos) {
    if (c.stop->load(std::memory_order_relaxed)) [[unlikely]]
        ThrowStopped(pos);
}

// Stores with a fast path for the common case of an integer into an Integer variable.
inline void StoreFast(Value& dst, Value v, TypeId id, const TypeDesc* desc) {
    if (id == TypeId::Integer && v.IsInt() && v.RawInt() == static_cast<std::int32_t>(v.RawInt())) {
        dst = std::move(v);
        return;
    }
    if (id == TypeId::Variant) {
        dst = std::move(v);
        return;
    }
    StoreConverted(dst, std::move(v), id, desc);
}

// ---- expressions
struct Literal final : ExprNode {
    Literal(SourcePos p, Value v) : ExprNode(p), value(std::move(v)) {}
    Value Eval(Ctx&) const override { return value; }
    bool IsLiteral() const override { return true; }
    Value value;
};

struct LocalVar final : LValue {
    LocalVar(SourcePos p, int s, TypeId t, const TypeDesc* d) : LValue(p), slot(s), type(t), desc(d) {}
    Value Eval(Ctx& c) const override { return c.fp[slot]; }
    Value* Ref(Ctx& c) const override { return &c.fp[slot]; }
    void Store(Ctx& c, Value v) const override { StoreFast(c.fp[slot], std::move(v), type, desc); }
    int slot;
    TypeId type;
    const TypeDesc* desc;
};

struct GlobalVar final : LValue {
    GlobalVar(SourcePos p, int s, TypeId t, const TypeDesc* d) : LValue(p), slot(s), type(t), desc(d) {}
    Value Eval(Ctx& c) const override { return c.globals[slot]; }
    Value* Ref(Ctx& c) const override { return &c.globals[slot]; }
    void Store(Ctx& c, Value v) const override { StoreFast(c.globals[slot], std::move(v), type, desc); }
    int slot;
    TypeId type;
    const TypeDesc* desc;
};

// A var parameter: its slot points at the caller's variable.
struct VarParam final : LValue {
    VarParam(SourcePos p, int s, TypeId t, const TypeDesc* d) : LValue(p), slot(s), type(t), desc(d) {}
    Value Eval(Ctx& c) const override { return *c.fp[slot].RawRef(); }
    Value* Ref(Ctx& c) const override { return c.fp[slot].RawRef(); }
    void Store(Ctx& c, Value v) const override { StoreFast(*c.fp[slot].RawRef(), std::move(v), type, desc); }
    int slot;
    TypeId type;
    const TypeDesc* desc;
};

// base[index] on an array (an element) or a string (a character, counted from 1).
struct IndexNode final : LValue {
    IndexNode(SourcePos p, ExprPtr b, ExprPtr i) : LValue(p), base(std::move(b)), index(std::move(i)) {}
    Value Eval(Ctx& c) const override;
    Value* Ref(Ctx& c) const override;
    void Store(Ctx& c, Value v) const override;
    ExprPtr base;  // an LValue when the element is assigned
    ExprPtr index;
};

// E.Message and E.ClassName of an exception object.
struct FieldNode final : ExprNode {
    FieldNode(SourcePos p, ExprPtr b, std::string n) : ExprNode(p), base(std::move(b)), name(std::move(n)) {}
    Value Eval(Ctx& c) const override;
    ExprPtr base;
    std::string name;  // lower case
};

// A name nobody declared: the host reads it, calls it, or takes an assignment.
struct HostName final : LValue {
    HostName(SourcePos p, std::string n, std::vector<ExprPtr> a)
        : LValue(p), raw(std::move(n)), args(std::move(a)) {}
    Value Eval(Ctx& c) const override;
    Value* Ref(Ctx&) const override { return nullptr; }
    void Store(Ctx& c, Value v) const override;
    std::string raw;
    std::vector<ExprPtr> args;
};

struct UnaryNode final : ExprNode {
    UnaryNode(SourcePos p, Tok o, ExprPtr e) : ExprNode(p), op(o), operand(std::move(e)) {}
    Value Eval(Ctx& c) const override;
    Tok op;
    ExprPtr operand;
};

// Binary operators; the hot ones are separate classes so that their integer case inlines.
struct BinaryNode : ExprNode {
    BinaryNode(SourcePos p, Tok o, ExprPtr l, ExprPtr r)
        : ExprNode(p), op(o), left(std::move(l)), right(std::move(r)) {}
    Value Eval(Ctx& c) const override;
    Value Slow(const Value& a, const Value& b) const;  // Arith with this node's place on failure
    Tok op;
    ExprPtr left, right;
};

struct AddNode final : BinaryNode {
    using BinaryNode::BinaryNode;
    Value Eval(Ctx& c) const override {
        Value a = left->Eval(c), b = right->Eval(c);
        std::int64_t r;
        if (a.IsInt() && b.IsInt() && !__builtin_add_overflow(a.RawInt(), b.RawInt(), &r)) return Value(r);
        if (a.IsFloat() && b.IsFloat()) return Value(a.RawFloat() + b.RawFloat());
        return Slow(a, b);
    }
};
struct SubNode final : BinaryNode {
    using BinaryNode::BinaryNode;
    Value Eval(Ctx& c) const override {
        Value a = left->Eval(c), b = right->Eval(c);
        std::int64_t r;
        if (a.IsInt() && b.IsInt() && !__builtin_sub_overflow(a.RawInt(), b.RawInt(), &r)) return Value(r);
        if (a.IsFloat() && b.IsFloat()) return Value(a.RawFloat() - b.RawFloat());
        return Slow(a, b);
    }
};
struct MulNode final : BinaryNode {
    using BinaryNode::BinaryNode;
    Value Eval(Ctx& c) const override {
        Value a = left->Eval(c), b = right->Eval(c);
        std::int64_t r;
        if (a.IsInt() && b.IsInt() && !__builtin_mul_overflow(a.RawInt(), b.RawInt(), &r)) return Value(r);
        if (a.IsFloat() && b.IsFloat()) return Value(a.RawFloat() * b.RawFloat());
        return Slow(a, b);
    }
};
struct ModNode final : BinaryNode {
    using BinaryNode::BinaryNode;
    Value Eval(Ctx& c) const override {
        Value a = left->Eval(c), b = right->Eval(c);
        if (a.IsInt() && b.IsInt() && b.RawInt() > 0) return Value(a.RawInt() % b.RawInt());
        return Slow(a, b);
    }
};

// Comparisons: = <> < > <= >=.
template <Tok OP>
struct CompareNode final : BinaryNode {
    CompareNode(SourcePos p, ExprPtr l, ExprPtr r) : BinaryNode(p, OP, std::move(l), std::move(r)) {}
    static bool Holds(int cmp) {
        if constexpr (OP == Tok::Less) return cmp < 0;
        if constexpr (OP == Tok::Greater) return cmp > 0;
        if constexpr (OP == Tok::LessEq) return cmp <= 0;
        if constexpr (OP == Tok::GreaterEq) return cmp >= 0;
        if constexpr (OP == Tok::Eq) return cmp == 0;
        return cmp != 0;
    }
    bool EvalBool(Ctx& c) const override {
        Value a = left->Eval(c), b = right->Eval(c);
        if (a.IsInt() && b.IsInt()) {
            std::int64_t x = a.RawInt(), y = b.RawInt();
            return Holds(x < y ? -1 : x > y ? 1 : 0);
        }
        return SlowBool(a, b);
    }
    Value Eval(Ctx& c) const override { return Value(EvalBool(c)); }
    bool SlowBool(const Value& a, const Value& b) const;
};

// and, or: short-circuit on booleans, bitwise on integers.
struct LogicNode final : BinaryNode {
    using BinaryNode::BinaryNode;
    Value Eval(Ctx& c) const override;
    bool EvalBool(Ctx& c) const override { return Eval(c).ToBool(); }
};

// x in [a, b, c..d]
struct InNode final : ExprNode {
    InNode(SourcePos p, ExprPtr v) : ExprNode(p), value(std::move(v)) {}
    Value Eval(Ctx& c) const override { return Value(EvalBool(c)); }
    bool EvalBool(Ctx& c) const override;
    ExprPtr value;
    std::vector<std::pair<ExprPtr, ExprPtr>> items;  // second null for a single value
};

// [a, b, c] outside "in": an open array (Format's arguments).
struct ArrayLiteral final : ExprNode {
    using ExprNode::ExprNode;
    Value Eval(Ctx& c) const override;
    std::vector<ExprPtr> items;
};

struct CallUser final : ExprNode {
    CallUser(SourcePos p, const RoutineInfo* r) : ExprNode(p), routine(r) {}
    Value Eval(Ctx& c) const override;
    const RoutineInfo* routine;
    std::vector<ExprPtr> args;  // LValues for var parameters
};

using BuiltinFn = Value (*)(Ctx& c, Value* args, int count);

struct CallBuiltin final : ExprNode {
    CallBuiltin(SourcePos p, BuiltinFn f) : ExprNode(p), fn(f) {}
    Value Eval(Ctx& c) const override;
    BuiltinFn fn;
    std::vector<ExprPtr> args;
};

// ---- statements
struct Block final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    std::vector<StmtPtr> items;
};

struct AssignStmt final : StmtNode {
    AssignStmt(SourcePos p, std::unique_ptr<LValue> t, ExprPtr v)
        : StmtNode(p), target(std::move(t)), value(std::move(v)) {}
    Flow Exec(Ctx& c) const override {
        target->Store(c, value->Eval(c));
        return Flow::Normal;
    }
    std::unique_ptr<LValue> target;
    ExprPtr value;
};

// x := x + e on a variable: a string that only x holds grows in place instead of being copied.
struct AppendStmt final : StmtNode {
    AppendStmt(SourcePos p, std::unique_ptr<LValue> t, ExprPtr e)
        : StmtNode(p), target(std::move(t)), extra(std::move(e)) {}
    Flow Exec(Ctx& c) const override;
    std::unique_ptr<LValue> target;  // a plain variable (Ref never null)
    ExprPtr extra;
    TypeId type;
    const TypeDesc* desc;
};

struct ExprStmt final : StmtNode {
    ExprStmt(SourcePos p, ExprPtr e) : StmtNode(p), expr(std::move(e)) {}
    Flow Exec(Ctx& c) const override {
        expr->Eval(c);
        return Flow::Normal;
    }
    ExprPtr expr;
};

struct IfStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override {
        if (cond->EvalBool(c)) return then ? then->Exec(c) : Flow::Normal;
        return otherwise ? otherwise->Exec(c) : Flow::Normal;
    }
    ExprPtr cond;
    StmtPtr then, otherwise;
};

struct CaseStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    struct Label {
        Value low, high;  // high empty for a single value
        bool range = false;
    };
    struct Branch {
        std::vector<Label> labels;
        StmtPtr body;
    };
    ExprPtr selector;
    std::vector<Branch> branches;
    StmtPtr otherwise;
};

struct ForStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    std::unique_ptr<LValue> var;
    ExprPtr from, to;
    bool downto = false;
    StmtPtr body;
};

struct WhileStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    ExprPtr cond;
    StmtPtr body;
};

struct RepeatStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    std::unique_ptr<Block> body;
    ExprPtr cond;
};

struct JumpStmt final : StmtNode {
    JumpStmt(SourcePos p, Flow f) : StmtNode(p), flow(f) {}
    Flow Exec(Ctx& c) const override {
        if (result) result->Store(c, value->Eval(c));
        return flow;
    }
    Flow flow;
    std::unique_ptr<LValue> result;  // Exit(value): the function's Result
    ExprPtr value;
};

struct IncDecStmt final : StmtNode {
    IncDecStmt(SourcePos p, std::unique_ptr<LValue> t, ExprPtr d, bool inc)
        : StmtNode(p), target(std::move(t)), delta(std::move(d)), increment(inc) {}
    Flow Exec(Ctx& c) const override;
    std::unique_ptr<LValue> target;
    ExprPtr delta;  // null for 1
    bool increment;
};

struct TryExceptStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    struct Handler {
        std::string className;  // lower case; "exception" takes every exception
        int slot = -1;          // the handler's variable, -1 when it names none
        bool global = false;
        StmtPtr body;
    };
    std::unique_ptr<Block> body;
    std::vector<Handler> handlers;
    std::unique_ptr<Block> otherwise;  // the except block without handlers, or the handlers' else
};

struct TryFinallyStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    std::unique_ptr<Block> body, cleanup;
};

struct RaiseStmt final : StmtNode {
    using StmtNode::StmtNode;
    Flow Exec(Ctx& c) const override;
    std::string className;  // as written; empty for a re-raise or raise of a value
    ExprPtr message;        // null for a bare re-raise
};

}  // namespace kinoloop::pascal
