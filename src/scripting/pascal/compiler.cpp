#include "scripting/pascal/compiler.h"

#include <unordered_map>

#include "scripting/pascal/builtins.h"
#include "scripting/pascal/nodes.h"

namespace kinoloop::pascal {

using syntax::CaseBranch;
using syntax::CaseLabel;
using syntax::ConstDecl;
using syntax::ExceptHandler;
using syntax::ExprKind;
using syntax::Param;
using syntax::Routine;
using syntax::StmtKind;
using syntax::TypeDecl;
using syntax::Unit;
using syntax::VarDecl;

namespace {

struct CompileFail {
    SourcePos pos;
    std::string text;
};
[[noreturn]] void Error(SourcePos pos, std::string text) {
    throw CompileFail{pos, std::move(text)};
}

constexpr std::int64_t kMaxArrayLength = 1 << 22;

struct Symbol {
    enum class Kind { Local, VarParam, Global, Const, Routine, Type } kind = Kind::Local;
    int slot = 0;
    TypeId type = TypeId::Variant;
    const TypeDesc* desc = nullptr;
    Value value;  // a constant's value
    RoutineInfo* routine = nullptr;
};
using Scope = std::unordered_map<std::string, Symbol>;

struct TypeRef {
    TypeId id = TypeId::Variant;
    const TypeDesc* desc = nullptr;
};

const std::unordered_map<std::string, TypeId>& BasicTypes() {
    static const std::unordered_map<std::string, TypeId> table = {
        {"integer", TypeId::Integer},   {"longint", TypeId::Integer},   {"byte", TypeId::Byte},
        {"shortint", TypeId::Shortint}, {"word", TypeId::Word},         {"smallint", TypeId::Smallint},
        {"cardinal", TypeId::Cardinal}, {"longword", TypeId::Cardinal}, {"dword", TypeId::Cardinal},
        {"int64", TypeId::Int64},       {"double", TypeId::Double},     {"real", TypeId::Double},
        {"extended", TypeId::Double},   {"single", TypeId::Single},     {"boolean", TypeId::Boolean},
        {"string", TypeId::String},     {"ansistring", TypeId::String}, {"shortstring", TypeId::String},
        {"widestring", TypeId::String}, {"char", TypeId::Char},         {"ansichar", TypeId::Char},
        {"variant", TypeId::Variant},
    };
    return table;
}

// Bounds of the integer types, for High(Integer) and Low(Byte).
bool TypeBounds(TypeId id, std::int64_t& lo, std::int64_t& hi) {
    switch (id) {
        case TypeId::Integer:
            lo = INT32_MIN;
            hi = INT32_MAX;
            return true;
        case TypeId::Byte:
            lo = 0;
            hi = 255;
            return true;
        case TypeId::Shortint:
            lo = -128;
            hi = 127;
            return true;
        case TypeId::Word:
            lo = 0;
            hi = 65535;
            return true;
        case TypeId::Smallint:
            lo = -32768;
            hi = 32767;
            return true;
        case TypeId::Cardinal:
            lo = 0;
            hi = UINT32_MAX;
            return true;
        case TypeId::Int64:
            lo = INT64_MIN;
            hi = INT64_MAX;
            return true;
        default:
            return false;
    }
}

class Compiler {
public:
    Compiler(Program& p) : prog_(p) {}

    void CompileAll(const Unit& u) {
        prog_.unitName = u.raw;
        for (const ConstDecl& c : u.consts) DeclareConst(globals_, c);
        for (const TypeDecl& t : u.types) Declare(globals_, t.name, t.pos, TypeSymbol(*t.type));
        for (const VarDecl& v : u.vars) {
            TypeRef t = ResolveType(v.type.get());
            Symbol s;
            s.kind = Symbol::Kind::Global;
            s.slot = prog_.globalCount++;
            s.type = t.id;
            s.desc = t.desc;
            Declare(globals_, v.name, v.pos, s);
            prog_.globals.push_back({s.slot, t.id, t.desc});
        }
        // Routines are known by name before any body is compiled, so a routine may call one declared later.
        std::vector<std::pair<const Routine*, RoutineInfo*>> bodies;
        for (const Routine& r : u.routines) {
            auto found = globals_.find(r.name);
            RoutineInfo* info = nullptr;
            if (found != globals_.end() && found->second.kind == Symbol::Kind::Routine &&
                !bodiesSeen_.count(r.name)) {
                // the body of a heading declared before (interface part, forward)
                info = found->second.routine;
                if (!r.body) Error(r.pos, "Identifier redeclared: '" + r.raw + "'");
                if (info->params.size() != r.params.size())
                    Error(r.pos, "Declaration of '" + r.raw + "' differs from previous declaration");
            } else {
                prog_.routines.push_back(std::make_unique<RoutineInfo>());
                info = prog_.routines.back().get();
                Symbol s;
                s.kind = Symbol::Kind::Routine;
                s.routine = info;
                Declare(globals_, r.name, r.pos, s);
                prog_.routineByName[r.name] = info;
            }
            info->name = r.name;
            info->raw = r.raw;
            info->pos = r.pos;
            info->isFunction = r.isFunction;
            info->params.clear();
            for (const Param& p : r.params) {
                TypeRef t = ResolveType(p.type.get());
                info->params.push_back({p.byRef, t.id, t.desc});
            }
            if (r.result) {
                TypeRef t = ResolveType(r.result.get());
                info->resultType = t.id;
                info->resultDesc = t.desc;
            }
            if (r.body) {
                bodiesSeen_.insert({r.name, true});
                bodies.emplace_back(&r, info);
            }
        }
        for (auto& [r, info] : bodies) CompileRoutine(*r, *info);
        for (const auto& routine : prog_.routines)
            if (!routine->body)
                Error(routine->pos, "Unsatisfied forward or external declaration: '" + routine->raw + "'");
        for (const VarDecl& v : u.vars)
            if (v.init) {
                constMode_ = true;
                Value init = EvalConst(*v.init);
                constMode_ = false;
                prog_.globalInits.emplace_back(globals_[v.name].slot,
                                               std::make_unique<Literal>(v.init->pos, std::move(init)));
            }
    }

private:
    // ---- declarations
    void Declare(Scope& scope, const std::string& name, SourcePos pos, Symbol s) {
        if (!scope.emplace(name, std::move(s)).second) Error(pos, "Identifier redeclared: '" + name + "'");
    }

    void DeclareConst(Scope& scope, const ConstDecl& c) {
        constMode_ = true;
        Value v = EvalConst(*c.value);
        constMode_ = false;
        if (c.type) {
            TypeRef t = ResolveType(c.type.get());
            Value converted;
            try {
                StoreConverted(converted, v, t.id, t.desc);
            } catch (const RuntimeFault& f) {
                Error(c.pos, f.text);
            }
            v = std::move(converted);
        }
        Symbol s;
        s.kind = Symbol::Kind::Const;
        s.value = std::move(v);
        Declare(scope, c.name, c.pos, std::move(s));
    }

    Value EvalConst(const syntax::Expr& e) {
        ExprPtr node = CompileExpr(e);
        Ctx c;
        std::atomic<bool> stop{false};
        Value scratch[4];
        c.stop = &stop;
        c.sp = scratch;
        c.stackEnd = scratch;  // constant expressions call no script routine
        char base;
        c.stackBase = &base;
        try {
            return node->Eval(c);
        } catch (const RuntimeFault& f) {
            Error(f.pos.line ? f.pos : e.pos, f.text);
        }
    }

    Symbol TypeSymbol(const syntax::Type& t) {
        TypeRef r = ResolveType(&t);
        Symbol s;
        s.kind = Symbol::Kind::Type;
        s.type = r.id;
        s.desc = r.desc;
        return s;
    }

    TypeRef ResolveType(const syntax::Type* t) {
        if (!t) return {};
        if (t->isArray) {
            constMode_ = true;
            Value lo = EvalConst(*t->low), hi = EvalConst(*t->high);
            constMode_ = false;
            TypeRef elem = ResolveType(t->elem.get());
            TypeDesc d;
            d.id = TypeId::Array;
            try {
                d.low = lo.IsStr() ? static_cast<unsigned char>(lo.StrRef()[0]) : lo.ToInt();
                d.high = hi.IsStr() ? static_cast<unsigned char>(hi.StrRef()[0]) : hi.ToInt();
            } catch (const RuntimeFault&) {
                Error(t->pos, "Array bounds must be ordinal constants");
            }
            if (d.high < d.low) Error(t->pos, "High range limit < low range limit");
            std::int64_t length = 0;
            std::int64_t inner = elem.desc ? elem.desc->cells : 1;
            if (__builtin_sub_overflow(d.high, d.low, &length) || length >= kMaxArrayLength ||
                (length + 1) * inner > kMaxArrayLength)
                Error(t->pos, "Array too large");
            d.cells = (length + 1) * inner;
            d.elem = elem.desc;
            if (!elem.desc) {
                prog_.types.push_back({elem.id, 0, -1, nullptr});
                d.elem = &prog_.types.back();
            }
            prog_.types.push_back(d);
            return {TypeId::Array, &prog_.types.back()};
        }
        if (const Symbol* s = Lookup(t->name); s && s->kind == Symbol::Kind::Type) return {s->type, s->desc};
        auto basic = BasicTypes().find(t->name);
        if (basic != BasicTypes().end()) return {basic->second, nullptr};
        return {};  // other type names hold variants
    }

    // ---- routines
    void CompileRoutine(const Routine& r, RoutineInfo& info) {
        RoutineState state;
        state.info = &info;
        cur_ = &state;
        state.scopes.emplace_back();
        Scope& scope = state.scopes.back();
        info.frameSize = 1;
        info.locals.clear();
        if (r.isFunction) {
            Symbol res;
            res.kind = Symbol::Kind::Local;
            res.slot = 0;
            res.type = info.resultType;
            res.desc = info.resultDesc;
            scope["result"] = res;
        }
        for (std::size_t i = 0; i < r.params.size(); ++i) {
            Symbol s;
            s.kind = r.params[i].byRef ? Symbol::Kind::VarParam : Symbol::Kind::Local;
            s.slot = info.frameSize++;
            s.type = info.params[i].type;
            s.desc = info.params[i].desc;
            Declare(scope, r.params[i].name, r.params[i].pos, s);
        }
        for (const ConstDecl& c : r.consts) DeclareConst(scope, c);
        for (const TypeDecl& t : r.types) Declare(scope, t.name, t.pos, TypeSymbol(*t.type));
        for (const VarDecl& v : r.vars) {
            TypeRef t = ResolveType(v.type.get());
            Symbol s;
            s.kind = Symbol::Kind::Local;
            s.slot = info.frameSize++;
            s.type = t.id;
            s.desc = t.desc;
            Declare(scope, v.name, v.pos, s);
            info.locals.push_back({s.slot, t.id, t.desc});
        }
        info.body = CompileBlock(r.body->body, r.body->pos);
        cur_ = nullptr;
    }

    // ---- names
    struct RoutineState {
        RoutineInfo* info = nullptr;
        std::vector<Scope> scopes;
        int loops = 0;
    };

    const Symbol* Lookup(const std::string& name) {
        if (cur_) {
            for (auto it = cur_->scopes.rbegin(); it != cur_->scopes.rend(); ++it) {
                auto f = it->find(name);
                if (f != it->end()) return &f->second;
            }
        }
        auto g = globals_.find(name);
        return g == globals_.end() ? nullptr : &g->second;
    }

    std::unique_ptr<LValue> VariableNode(const Symbol& s, SourcePos pos) {
        switch (s.kind) {
            case Symbol::Kind::Local:
                return std::make_unique<LocalVar>(pos, s.slot, s.type, s.desc);
            case Symbol::Kind::VarParam:
                return std::make_unique<VarParam>(pos, s.slot, s.type, s.desc);
            case Symbol::Kind::Global:
                return std::make_unique<GlobalVar>(pos, s.slot, s.type, s.desc);
            default:
                return nullptr;
        }
    }

    void RequireVariableAllowed(SourcePos pos) {
        if (constMode_) Error(pos, "Constant expression expected");
    }

    std::vector<ExprPtr> CompileArgs(const syntax::Expr& e) {
        std::vector<ExprPtr> args;
        for (const auto& k : e.kids) args.push_back(CompileExpr(*k));
        return args;
    }

    // A name, or a call of a name with arguments (call is false for a bare name).
    ExprPtr CompileNamed(const syntax::Expr& e, bool call) {
        const std::string& name = e.name;
        const Symbol* s = Lookup(name);
        // Inside a function its own name stands for its result; read without arguments it calls the function
        // again when it takes no parameters (as in Delphi).
        if (s && s->kind == Symbol::Kind::Routine && cur_ && s->routine == cur_->info &&
            cur_->info->isFunction && !call && !cur_->info->params.empty()) {
            return std::make_unique<LocalVar>(e.pos, 0, cur_->info->resultType, cur_->info->resultDesc);
        }
        if (s) {
            switch (s->kind) {
                case Symbol::Kind::Local:
                case Symbol::Kind::VarParam:
                case Symbol::Kind::Global:
                    RequireVariableAllowed(e.pos);
                    if (call) Error(e.pos, "'" + e.raw + "' is not a routine");
                    return VariableNode(*s, e.pos);
                case Symbol::Kind::Const:
                    if (call) Error(e.pos, "'" + e.raw + "' is not a routine");
                    return std::make_unique<Literal>(e.pos, s->value);
                case Symbol::Kind::Type:
                    Error(e.pos, "Type '" + e.raw + "' is not a value");
                case Symbol::Kind::Routine: {
                    RequireVariableAllowed(e.pos);
                    const RoutineInfo* r = s->routine;
                    std::size_t n = call ? e.kids.size() : 0;
                    if (n < r->params.size()) Error(e.pos, "Not enough actual parameters");
                    if (n > r->params.size()) Error(e.pos, "Too many actual parameters");
                    auto node = std::make_unique<CallUser>(e.pos, r);
                    for (std::size_t i = 0; i < n; ++i) {
                        if (r->params[i].byRef)
                            node->args.push_back(CompileTarget(*e.kids[i], true));
                        else
                            node->args.push_back(CompileExpr(*e.kids[i]));
                    }
                    return node;
                }
            }
        }
        if (name == "true" || name == "false") {
            if (call) Error(e.pos, "'" + e.raw + "' is not a routine");
            return std::make_unique<Literal>(e.pos, Value(name == "true"));
        }
        if (name == "maxint") return std::make_unique<Literal>(e.pos, Value(std::int64_t{INT32_MAX}));
        if ((name == "high" || name == "low") && call && e.kids.size() == 1 &&
            e.kids[0]->kind == ExprKind::Name) {
            // High(Integer): a type's bounds.
            const std::string& arg = e.kids[0]->name;
            const Symbol* ts = Lookup(arg);
            TypeId id = TypeId::Variant;
            if (ts && ts->kind == Symbol::Kind::Type) {
                if (ts->desc) {
                    std::int64_t v = name == "high" ? ts->desc->high : ts->desc->low;
                    return std::make_unique<Literal>(e.pos, Value(v));
                }
                id = ts->type;
            } else if (!ts) {
                auto basic = BasicTypes().find(arg);
                if (basic != BasicTypes().end()) id = basic->second;
            }
            std::int64_t lo, hi;
            if (TypeBounds(id, lo, hi))
                return std::make_unique<Literal>(e.pos, Value(name == "high" ? hi : lo));
        }
        if (const BuiltinInfo* b = FindBuiltin(name)) {
            int n = call ? static_cast<int>(e.kids.size()) : 0;
            if (n < b->minArgs) Error(e.pos, "Not enough actual parameters");
            if (n > b->maxArgs) Error(e.pos, "Too many actual parameters");
            auto node = std::make_unique<CallBuiltin>(e.pos, b->fn);
            if (call) node->args = CompileArgs(e);
            if (name == "pi") {
                Ctx c;
                return std::make_unique<Literal>(e.pos, node->Eval(c));
            }
            return node;
        }
        if (name == "exit" || name == "break" || name == "continue" || name == "inc" || name == "dec")
            Error(e.pos, "'" + e.raw + "' cannot be used in an expression");
        RequireVariableAllowed(e.pos);
        return std::make_unique<HostName>(e.pos, e.raw, call ? CompileArgs(e) : std::vector<ExprPtr>{});
    }

    // Something assignable; byRefArg reports the error as a var argument's.
    std::unique_ptr<LValue> CompileTarget(const syntax::Expr& e, bool byRefArg) {
        const char* notAssignable = byRefArg ? "Variable required" : "Left side cannot be assigned to";
        if (e.kind == ExprKind::Name) {
            const Symbol* s = Lookup(e.name);
            if (s && s->kind == Symbol::Kind::Routine && cur_ && s->routine == cur_->info &&
                cur_->info->isFunction)
                return std::make_unique<LocalVar>(e.pos, 0, cur_->info->resultType, cur_->info->resultDesc);
            if (s) {
                if (auto v = VariableNode(*s, e.pos)) return v;
                Error(e.pos, notAssignable);
            }
            if (byRefArg || FindBuiltin(e.name) || e.name == "true" || e.name == "false")
                Error(e.pos, notAssignable);
            return std::make_unique<HostName>(e.pos, e.raw, std::vector<ExprPtr>{});
        }
        if (e.kind == ExprKind::Index) {
            std::unique_ptr<LValue> base = CompileTarget(*e.kids[0], byRefArg);
            if (dynamic_cast<HostName*>(base.get())) Error(e.pos, notAssignable);
            for (std::size_t i = 1; i < e.kids.size(); ++i)
                base = std::make_unique<IndexNode>(e.pos, std::move(base), CompileExpr(*e.kids[i]));
            return base;
        }
        Error(e.pos, notAssignable);
    }

    // ---- expressions
    ExprPtr CompileExpr(const syntax::Expr& e) {
        switch (e.kind) {
            case ExprKind::Literal:
                return std::make_unique<Literal>(e.pos, e.literal);
            case ExprKind::Name:
                return CompileNamed(e, false);
            case ExprKind::Call:
                return CompileNamed(e, true);
            case ExprKind::Index: {
                ExprPtr base = CompileExpr(*e.kids[0]);
                for (std::size_t i = 1; i < e.kids.size(); ++i)
                    base = std::make_unique<IndexNode>(e.pos, std::move(base), CompileExpr(*e.kids[i]));
                return base;
            }
            case ExprKind::Field:
                return std::make_unique<FieldNode>(e.pos, CompileExpr(*e.kids[0]), e.name);
            case ExprKind::Unary:
                return Fold(std::make_unique<UnaryNode>(e.pos, e.op, CompileExpr(*e.kids[0])));
            case ExprKind::Binary:
                return CompileBinary(e);
            case ExprKind::SetLit: {
                auto node = std::make_unique<ArrayLiteral>(e.pos);
                for (const auto& k : e.kids) {
                    if (k->kind == ExprKind::Range) Error(k->pos, "A range is allowed only after 'in'");
                    node->items.push_back(CompileExpr(*k));
                }
                return node;
            }
            case ExprKind::Range:
                Error(e.pos, "A range is allowed only after 'in'");
        }
        Error(e.pos, "Illegal expression");
    }

    // Operators on two literals are worked out once, here; a failing one is left to fail when it runs.
    ExprPtr Fold(ExprPtr node) {
        bool literalKids = false;
        if (auto* u = dynamic_cast<UnaryNode*>(node.get())) literalKids = u->operand->IsLiteral();
        if (auto* b = dynamic_cast<BinaryNode*>(node.get()))
            literalKids = b->left->IsLiteral() && b->right->IsLiteral();
        if (!literalKids) return node;
        try {
            Ctx c;
            return std::make_unique<Literal>(node->pos, node->Eval(c));
        } catch (const RuntimeFault&) {
            return node;
        }
    }

    ExprPtr CompileBinary(const syntax::Expr& e) {
        if (e.op == Tok::KwIn) {
            if (e.kids[1]->kind != ExprKind::SetLit) Error(e.pos, "Set expected after 'in'");
            auto node = std::make_unique<InNode>(e.pos, CompileExpr(*e.kids[0]));
            for (const auto& k : e.kids[1]->kids) {
                if (k->kind == ExprKind::Range)
                    node->items.emplace_back(CompileExpr(*k->kids[0]), CompileExpr(*k->kids[1]));
                else
                    node->items.emplace_back(CompileExpr(*k), nullptr);
            }
            return node;
        }
        ExprPtr l = CompileExpr(*e.kids[0]);
        ExprPtr r = CompileExpr(*e.kids[1]);
        ExprPtr node;
        switch (e.op) {
            case Tok::Plus:
                node = std::make_unique<AddNode>(e.pos, e.op, std::move(l), std::move(r));
                break;
            case Tok::Minus:
                node = std::make_unique<SubNode>(e.pos, e.op, std::move(l), std::move(r));
                break;
            case Tok::Star:
                node = std::make_unique<MulNode>(e.pos, e.op, std::move(l), std::move(r));
                break;
            case Tok::KwMod:
                node = std::make_unique<ModNode>(e.pos, e.op, std::move(l), std::move(r));
                break;
            case Tok::Eq:
                node = std::make_unique<CompareNode<Tok::Eq>>(e.pos, std::move(l), std::move(r));
                break;
            case Tok::NotEq:
                node = std::make_unique<CompareNode<Tok::NotEq>>(e.pos, std::move(l), std::move(r));
                break;
            case Tok::Less:
                node = std::make_unique<CompareNode<Tok::Less>>(e.pos, std::move(l), std::move(r));
                break;
            case Tok::Greater:
                node = std::make_unique<CompareNode<Tok::Greater>>(e.pos, std::move(l), std::move(r));
                break;
            case Tok::LessEq:
                node = std::make_unique<CompareNode<Tok::LessEq>>(e.pos, std::move(l), std::move(r));
                break;
            case Tok::GreaterEq:
                node = std::make_unique<CompareNode<Tok::GreaterEq>>(e.pos, std::move(l), std::move(r));
                break;
            case Tok::KwAnd:
            case Tok::KwOr:
                node = std::make_unique<LogicNode>(e.pos, e.op, std::move(l), std::move(r));
                break;
            default:
                node = std::make_unique<BinaryNode>(e.pos, e.op, std::move(l), std::move(r));
                break;
        }
        return Fold(std::move(node));
    }

    // ---- statements
    std::unique_ptr<Block> CompileBlock(const std::vector<syntax::StmtPtr>& stmts, SourcePos pos) {
        auto block = std::make_unique<Block>(pos);
        for (const auto& s : stmts)
            if (StmtPtr node = CompileStmt(*s)) block->items.push_back(std::move(node));
        return block;
    }

    StmtPtr CompileOptional(const syntax::StmtPtr& s) { return s ? CompileStmt(*s) : nullptr; }

    StmtPtr CompileStmt(const syntax::Stmt& s) {
        if (!cur_) Error(s.pos, "Statement outside a routine");
        switch (s.kind) {
            case StmtKind::Empty:
                return nullptr;
            case StmtKind::Compound:
                return CompileBlock(s.body, s.pos);
            case StmtKind::Assign:
                return CompileAssign(s);
            case StmtKind::Call:
                return CompileCallStmt(s);
            case StmtKind::If: {
                auto node = std::make_unique<IfStmt>(s.pos);
                node->cond = CompileExpr(*s.expr);
                node->then = CompileOptional(s.then);
                node->otherwise = CompileOptional(s.otherwise);
                return node;
            }
            case StmtKind::Case:
                return CompileCase(s);
            case StmtKind::For: {
                auto node = std::make_unique<ForStmt>(s.pos);
                node->var = CompileTarget(*s.target, false);
                if (dynamic_cast<HostName*>(node->var.get()))
                    Error(s.target->pos, "Undeclared identifier '" + s.target->raw + "'");
                node->from = CompileExpr(*s.expr);
                node->to = CompileExpr(*s.expr2);
                node->downto = s.downto;
                ++cur_->loops;
                node->body = CompileOptional(s.then);
                --cur_->loops;
                return node;
            }
            case StmtKind::While: {
                auto node = std::make_unique<WhileStmt>(s.pos);
                node->cond = CompileExpr(*s.expr);
                ++cur_->loops;
                node->body = CompileOptional(s.then);
                --cur_->loops;
                return node;
            }
            case StmtKind::Repeat: {
                auto node = std::make_unique<RepeatStmt>(s.pos);
                ++cur_->loops;
                node->body = CompileBlock(s.body, s.pos);
                --cur_->loops;
                node->cond = CompileExpr(*s.expr);
                return node;
            }
            case StmtKind::TryExcept:
                return CompileTryExcept(s);
            case StmtKind::TryFinally: {
                auto node = std::make_unique<TryFinallyStmt>(s.pos);
                node->body = CompileBlock(s.body, s.pos);
                node->cleanup = CompileBlock(s.body2, s.pos);
                return node;
            }
            case StmtKind::Raise: {
                auto node = std::make_unique<RaiseStmt>(s.pos);
                node->className = s.raiseClass;
                if (s.expr) node->message = CompileExpr(*s.expr);
                return node;
            }
        }
        return nullptr;
    }

    StmtPtr CompileAssign(const syntax::Stmt& s) {
        std::unique_ptr<LValue> target = CompileTarget(*s.target, false);
        // x := x + e on a plain variable appends in place when x holds a string.
        const syntax::Expr& v = *s.expr;
        if (s.target->kind == ExprKind::Name && v.kind == ExprKind::Binary && v.op == Tok::Plus &&
            v.kids[0]->kind == ExprKind::Name && v.kids[0]->name == s.target->name &&
            (dynamic_cast<LocalVar*>(target.get()) || dynamic_cast<GlobalVar*>(target.get()))) {
            const Symbol* sym = Lookup(s.target->name);
            if (sym && (sym->type == TypeId::String || sym->type == TypeId::Variant)) {
                auto node = std::make_unique<AppendStmt>(s.pos, std::move(target), CompileExpr(*v.kids[1]));
                node->type = sym->type;
                node->desc = sym->desc;
                return node;
            }
        }
        return std::make_unique<AssignStmt>(s.pos, std::move(target), CompileExpr(v));
    }

    StmtPtr CompileCallStmt(const syntax::Stmt& s) {
        const syntax::Expr& e = *s.target;
        bool declared = Lookup(e.name) != nullptr;
        std::size_t n = e.kind == ExprKind::Call ? e.kids.size() : 0;
        if (!declared) {
            if (e.name == "break" || e.name == "continue") {
                if (n) Error(e.pos, "Too many actual parameters");
                if (cur_->loops == 0) Error(e.pos, "BREAK or CONTINUE outside of loop");
                return std::make_unique<JumpStmt>(e.pos, e.name == "break" ? Flow::Break : Flow::Continue);
            }
            if (e.name == "exit") {
                auto node = std::make_unique<JumpStmt>(e.pos, Flow::Exit);
                if (n > 1) Error(e.pos, "Too many actual parameters");
                if (n == 1) {
                    if (!cur_->info->isFunction) Error(e.pos, "A procedure cannot return a value");
                    node->result =
                        std::make_unique<LocalVar>(e.pos, 0, cur_->info->resultType, cur_->info->resultDesc);
                    node->value = CompileExpr(*e.kids[0]);
                }
                return node;
            }
            if (e.name == "inc" || e.name == "dec") {
                if (n < 1) Error(e.pos, "Not enough actual parameters");
                if (n > 2) Error(e.pos, "Too many actual parameters");
                std::unique_ptr<LValue> target = CompileTarget(*e.kids[0], true);
                return std::make_unique<IncDecStmt>(
                    e.pos, std::move(target), n == 2 ? CompileExpr(*e.kids[1]) : nullptr, e.name == "inc");
            }
        }
        ExprPtr call = CompileExpr(e);
        if (dynamic_cast<LocalVar*>(call.get()) || dynamic_cast<GlobalVar*>(call.get()) ||
            dynamic_cast<VarParam*>(call.get()) || call->IsLiteral())
            Error(e.pos, "Illegal expression: '" + e.raw + "' is not a routine");
        return std::make_unique<ExprStmt>(s.pos, std::move(call));
    }

    StmtPtr CompileCase(const syntax::Stmt& s) {
        auto node = std::make_unique<CaseStmt>(s.pos);
        node->selector = CompileExpr(*s.expr);
        for (const CaseBranch& b : s.branches) {
            CaseStmt::Branch branch;
            for (const CaseLabel& l : b.labels) {
                CaseStmt::Label label;
                constMode_ = true;
                label.low = EvalConst(*l.low);
                if (l.high) {
                    label.high = EvalConst(*l.high);
                    label.range = true;
                }
                constMode_ = false;
                branch.labels.push_back(std::move(label));
            }
            branch.body = CompileOptional(b.body);
            node->branches.push_back(std::move(branch));
        }
        if (!s.body2.empty()) node->otherwise = CompileBlock(s.body2, s.pos);
        return node;
    }

    StmtPtr CompileTryExcept(const syntax::Stmt& s) {
        auto node = std::make_unique<TryExceptStmt>(s.pos);
        node->body = CompileBlock(s.body, s.pos);
        for (const ExceptHandler& h : s.handlers) {
            TryExceptStmt::Handler handler;
            handler.className = h.className;
            if (!h.var.empty()) {
                Symbol sym;
                sym.kind = Symbol::Kind::Local;
                sym.slot = cur_->info->frameSize++;
                handler.slot = sym.slot;
                cur_->scopes.emplace_back();
                cur_->scopes.back()[h.var] = sym;
            }
            handler.body = CompileOptional(h.body);
            if (!h.var.empty()) cur_->scopes.pop_back();
            node->handlers.push_back(std::move(handler));
        }
        if (!s.body2.empty() || s.handlers.empty()) node->otherwise = CompileBlock(s.body2, s.pos);
        return node;
    }

    Program& prog_;
    Scope globals_;
    std::unordered_map<std::string, bool> bodiesSeen_;
    RoutineState* cur_ = nullptr;
    bool constMode_ = false;
};

}  // namespace

CompileResult CompileUnit(const Unit& unit) {
    CompileResult result;
    auto program = std::make_unique<Program>();
    try {
        Compiler(*program).CompileAll(unit);
        result.program = std::move(program);
    } catch (const CompileFail& f) {
        result.error.unit = unit.raw;
        result.error.line = f.pos.line;
        result.error.column = f.pos.column;
        result.error.text = f.text;
    }
    return result;
}

}  // namespace kinoloop::pascal
