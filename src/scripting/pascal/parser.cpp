#include "scripting/pascal/parser.h"

#include <algorithm>

namespace kinoloop::pascal {

using namespace syntax;

namespace {

struct ParseFail {
    SourcePos pos;
    std::string text;
};

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    Unit ParseUnit() {
        Unit u;
        if (Cur().kind != Tok::KwUnit) Fail(Cur().pos, "'unit' expected but " + Shown(Cur()) + " found");
        Take();
        const Token& name = Expect(Tok::Ident);
        u.name = name.lower;
        u.raw = name.text;
        unitName_ = name.text;
        Expect(Tok::Semicolon);
        bool inInterface = false;
        while (true) {
            switch (Cur().kind) {
                case Tok::KwUses:
                    Take();
                    Expect(Tok::Ident);
                    while (Accept(Tok::Comma)) Expect(Tok::Ident);
                    Expect(Tok::Semicolon);
                    break;
                case Tok::KwInterface:
                    Take();
                    inInterface = true;
                    break;
                case Tok::KwImplementation:
                    Take();
                    inInterface = false;
                    break;
                case Tok::KwConst:
                    Take();
                    ParseConsts(u.consts);
                    break;
                case Tok::KwVar:
                    Take();
                    ParseVars(u.vars, true);
                    break;
                case Tok::KwType:
                    Take();
                    ParseTypes(u.types);
                    break;
                case Tok::KwProcedure:
                case Tok::KwFunction:
                    u.routines.push_back(ParseRoutine(inInterface));
                    break;
                case Tok::KwEnd:
                    Take();
                    Expect(Tok::Dot);
                    return u;  // text after "end." is not part of the program
                case Tok::KwBegin:
                    Fail(Cur().pos, "A unit has no main block: put the code in procedure Main");
                default:
                    Fail(Cur().pos, "'end.' expected but " + Shown(Cur()) + " found");
            }
        }
    }

    const std::string& UnitName() const { return unitName_; }

private:
    // ---- tokens
    const Token& Cur() const { return t_[p_]; }
    const Token& PeekTok(std::size_t k = 1) const { return t_[std::min(p_ + k, t_.size() - 1)]; }
    const Token& Take() {
        const Token& tok = t_[p_];
        if (p_ + 1 < t_.size()) ++p_;
        return tok;
    }
    bool Accept(Tok k) {
        if (Cur().kind != k) return false;
        Take();
        return true;
    }
    const Token& Expect(Tok k) {
        if (Cur().kind != k) Fail(Cur().pos, Describe(k) + " expected but " + Shown(Cur()) + " found");
        return Take();
    }
    static std::string Shown(const Token& tok) {
        if (tok.kind == Tok::Ident) return "identifier '" + tok.text + "'";
        return Describe(tok.kind);
    }
    bool AtIdent(const char* lower) const { return Cur().kind == Tok::Ident && Cur().lower == lower; }
    [[noreturn]] static void Fail(SourcePos pos, std::string text) { throw ParseFail{pos, std::move(text)}; }

    struct Nest {
        Nest(Parser& p, SourcePos pos) : p_(p) {
            if (++p_.nesting_ > kMaxNesting) Fail(pos, "Nesting too deep");
        }
        ~Nest() { --p_.nesting_; }
        Parser& p_;
    };

    // ---- declarations
    void ParseConsts(std::vector<ConstDecl>& out) {
        while (Cur().kind == Tok::Ident) {
            ConstDecl c;
            c.pos = Cur().pos;
            c.name = Cur().lower;
            c.raw = Take().text;
            if (Accept(Tok::Colon)) c.type = ParseType();
            Expect(Tok::Eq);
            c.value = ParseExpr();
            Expect(Tok::Semicolon);
            out.push_back(std::move(c));
        }
    }

    void ParseVars(std::vector<VarDecl>& out, bool allowInit) {
        while (Cur().kind == Tok::Ident) {
            std::vector<const Token*> names{&Take()};
            while (Accept(Tok::Comma)) names.push_back(&Expect(Tok::Ident));
            Expect(Tok::Colon);
            std::shared_ptr<Type> type = ParseType();
            ExprPtr init;
            if (Cur().kind == Tok::Eq) {
                if (!allowInit || names.size() != 1) Fail(Cur().pos, "';' expected but '=' found");
                Take();
                init = ParseExpr();
            }
            Expect(Tok::Semicolon);
            for (const Token* n : names) {
                VarDecl v;
                v.pos = n->pos;
                v.name = n->lower;
                v.raw = n->text;
                v.type = type;
                if (init) v.init = std::move(init);
                out.push_back(std::move(v));
            }
        }
    }

    void ParseTypes(std::vector<TypeDecl>& out) {
        while (Cur().kind == Tok::Ident) {
            TypeDecl d;
            d.pos = Cur().pos;
            d.name = Cur().lower;
            d.raw = Take().text;
            Expect(Tok::Eq);
            d.type = ParseType();
            Expect(Tok::Semicolon);
            out.push_back(std::move(d));
        }
    }

    TypePtr ParseType() {
        Nest guard(*this, Cur().pos);
        auto type = std::make_unique<Type>();
        type->pos = Cur().pos;
        if (Cur().kind == Tok::KwArray) {
            Take();
            if (Cur().kind != Tok::LBracket)
                Fail(Cur().pos, "Dynamic arrays are not supported: give the bounds");
            Take();
            // array[a..b, c..d] of T is array[a..b] of array[c..d] of T.
            std::vector<std::pair<ExprPtr, ExprPtr>> dims;
            do {
                ExprPtr lo = ParseExpr();
                Expect(Tok::DotDot);
                ExprPtr hi = ParseExpr();
                dims.emplace_back(std::move(lo), std::move(hi));
            } while (Accept(Tok::Comma));
            Expect(Tok::RBracket);
            Expect(Tok::KwOf);
            TypePtr elem = ParseType();
            for (auto it = dims.rbegin(); it != dims.rend(); ++it) {
                auto arr = std::make_unique<Type>();
                arr->pos = type->pos;
                arr->isArray = true;
                arr->low = std::move(it->first);
                arr->high = std::move(it->second);
                arr->elem = std::move(elem);
                elem = std::move(arr);
            }
            return elem;
        }
        if (Cur().kind == Tok::KwRecord) Fail(Cur().pos, "Records are not supported");
        if (Cur().kind == Tok::Caret) Fail(Cur().pos, "Pointer types are not supported");
        const Token& name = Expect(Tok::Ident);
        type->name = name.lower;
        type->raw = name.text;
        if (type->name == "string" && Accept(Tok::LBracket)) {  // string[n]: a short string, kept as a string
            ParseExpr();
            Expect(Tok::RBracket);
        }
        return type;
    }

    void ParseParams(Routine& r) {
        if (!Accept(Tok::LParen)) return;
        if (Accept(Tok::RParen)) return;
        do {
            bool byRef = false;
            if (Accept(Tok::KwVar))
                byRef = true;
            else if (Accept(Tok::KwConst))
                byRef = false;
            else if (AtIdent("out") && PeekTok().kind == Tok::Ident) {
                Take();
                byRef = true;
            }
            std::vector<const Token*> names{&Expect(Tok::Ident)};
            while (Accept(Tok::Comma)) names.push_back(&Expect(Tok::Ident));
            std::shared_ptr<Type> type;
            if (Accept(Tok::Colon)) type = ParseType();
            if (Cur().kind == Tok::Eq) Fail(Cur().pos, "Default parameter values are not supported");
            for (const Token* n : names) {
                Param prm;
                prm.pos = n->pos;
                prm.name = n->lower;
                prm.raw = n->text;
                prm.byRef = byRef;
                if (type) prm.type = CopyType(*type);
                r.params.push_back(std::move(prm));
            }
        } while (Accept(Tok::Semicolon));
        Expect(Tok::RParen);
    }

    TypePtr CopyType(const Type& t) {
        auto c = std::make_unique<Type>();
        c->pos = t.pos;
        c->name = t.name;
        c->raw = t.raw;
        c->isArray = t.isArray;
        if (t.low) c->low = CopyExpr(*t.low);
        if (t.high) c->high = CopyExpr(*t.high);
        if (t.elem) c->elem = CopyType(*t.elem);
        return c;
    }
    ExprPtr CopyExpr(const Expr& e) {
        auto c = std::make_unique<Expr>();
        c->kind = e.kind;
        c->pos = e.pos;
        c->op = e.op;
        c->literal = e.literal;
        c->name = e.name;
        c->raw = e.raw;
        c->depth = e.depth;
        for (const auto& k : e.kids) c->kids.push_back(CopyExpr(*k));
        return c;
    }

    Routine ParseRoutine(bool headingOnly) {
        Routine r;
        r.isFunction = Cur().kind == Tok::KwFunction;
        Take();
        r.pos = Cur().pos;
        const Token& name = Expect(Tok::Ident);
        r.name = name.lower;
        r.raw = name.text;
        if (Cur().kind == Tok::Dot) Fail(Cur().pos, "Methods are not supported");
        ParseParams(r);
        if (r.isFunction && Accept(Tok::Colon)) r.result = ParseType();
        Expect(Tok::Semicolon);
        // Directives: forward ends the heading; the others (overload, register ...) mean nothing here.
        while (Cur().kind == Tok::Ident &&
               (Cur().lower == "forward" || Cur().lower == "overload" || Cur().lower == "register" ||
                Cur().lower == "stdcall" || Cur().lower == "cdecl" || Cur().lower == "inline")) {
            if (Cur().lower == "forward") headingOnly = true;
            Take();
            Expect(Tok::Semicolon);
        }
        if (headingOnly) return r;
        while (true) {
            switch (Cur().kind) {
                case Tok::KwConst:
                    Take();
                    ParseConsts(r.consts);
                    continue;
                case Tok::KwVar:
                    Take();
                    ParseVars(r.vars, false);
                    continue;
                case Tok::KwType:
                    Take();
                    ParseTypes(r.types);
                    continue;
                case Tok::KwProcedure:
                case Tok::KwFunction:
                    Fail(Cur().pos, "Nested routines are not supported");
                case Tok::KwBegin:
                    break;
                default:
                    Fail(Cur().pos, "'begin' expected but " + Shown(Cur()) + " found");
            }
            break;
        }
        r.body = ParseCompound();
        Expect(Tok::Semicolon);
        return r;
    }

    // ---- statements
    StmtPtr NewStmt(StmtKind kind, SourcePos pos) {
        auto s = std::make_unique<Stmt>();
        s->kind = kind;
        s->pos = pos;
        return s;
    }

    StmtPtr ParseCompound() {
        auto s = NewStmt(StmtKind::Compound, Cur().pos);
        Expect(Tok::KwBegin);
        ParseStmtList(s->body);
        Expect(Tok::KwEnd);
        return s;
    }

    void ParseStmtList(std::vector<StmtPtr>& out) {
        while (true) {
            StmtPtr s = ParseStatement();
            if (s->kind != StmtKind::Empty) out.push_back(std::move(s));
            if (!Accept(Tok::Semicolon)) break;
        }
    }

    StmtPtr ParseStatement() {
        Nest guard(*this, Cur().pos);
        SourcePos pos = Cur().pos;
        switch (Cur().kind) {
            case Tok::KwBegin:
                return ParseCompound();
            case Tok::KwIf: {
                Take();
                auto s = NewStmt(StmtKind::If, pos);
                s->expr = ParseExpr();
                Expect(Tok::KwThen);
                s->then = ParseStatement();
                if (Accept(Tok::KwElse)) s->otherwise = ParseStatement();
                return s;
            }
            case Tok::KwCase:
                return ParseCase();
            case Tok::KwFor: {
                Take();
                auto s = NewStmt(StmtKind::For, pos);
                s->target = NameExpr(Expect(Tok::Ident));
                Expect(Tok::Assign);
                s->expr = ParseExpr();
                if (Accept(Tok::KwDownto))
                    s->downto = true;
                else
                    Expect(Tok::KwTo);
                s->expr2 = ParseExpr();
                Expect(Tok::KwDo);
                s->then = ParseStatement();
                return s;
            }
            case Tok::KwWhile: {
                Take();
                auto s = NewStmt(StmtKind::While, pos);
                s->expr = ParseExpr();
                Expect(Tok::KwDo);
                s->then = ParseStatement();
                return s;
            }
            case Tok::KwRepeat: {
                Take();
                auto s = NewStmt(StmtKind::Repeat, pos);
                ParseStmtList(s->body);
                Expect(Tok::KwUntil);
                s->expr = ParseExpr();
                return s;
            }
            case Tok::KwTry:
                return ParseTry();
            case Tok::KwRaise: {
                Take();
                auto s = NewStmt(StmtKind::Raise, pos);
                if (Cur().kind == Tok::Ident && PeekTok().kind == Tok::Dot && PeekTok(2).kind == Tok::Ident &&
                    PeekTok(2).lower == "create") {
                    s->raiseClass = Take().text;
                    Take();
                    Take();
                    Expect(Tok::LParen);
                    s->expr = ParseExpr();
                    Expect(Tok::RParen);
                } else if (StartsExpr(Cur().kind)) {
                    s->expr = ParseExpr();
                }
                return s;
            }
            case Tok::KwWith:
                Fail(pos, "'with' is not supported");
            case Tok::Ident: {
                ExprPtr target = ParseDesignator();
                if (Accept(Tok::Assign)) {
                    auto s = NewStmt(StmtKind::Assign, pos);
                    s->target = std::move(target);
                    s->expr = ParseExpr();
                    return s;
                }
                if (target->kind != ExprKind::Name && target->kind != ExprKind::Call)
                    Fail(pos, "Illegal expression");
                auto s = NewStmt(StmtKind::Call, pos);
                s->target = std::move(target);
                return s;
            }
            case Tok::Semicolon:
            case Tok::KwEnd:
            case Tok::KwUntil:
            case Tok::KwExcept:
            case Tok::KwFinally:
            case Tok::KwElse:
                return NewStmt(StmtKind::Empty, pos);
            default:
                Fail(pos, "Statement expected but " + Shown(Cur()) + " found");
        }
    }

    StmtPtr ParseCase() {
        auto s = NewStmt(StmtKind::Case, Cur().pos);
        Take();
        s->expr = ParseExpr();
        Expect(Tok::KwOf);
        while (Cur().kind != Tok::KwElse && Cur().kind != Tok::KwEnd) {
            CaseBranch b;
            do {
                CaseLabel l;
                l.low = ParseExpr();
                if (Accept(Tok::DotDot)) l.high = ParseExpr();
                b.labels.push_back(std::move(l));
            } while (Accept(Tok::Comma));
            Expect(Tok::Colon);
            b.body = ParseStatement();
            s->branches.push_back(std::move(b));
            if (!Accept(Tok::Semicolon)) break;
        }
        if (Accept(Tok::KwElse)) ParseStmtList(s->body2);
        Expect(Tok::KwEnd);
        return s;
    }

    StmtPtr ParseTry() {
        SourcePos pos = Cur().pos;
        Take();
        std::vector<StmtPtr> block;
        ParseStmtList(block);
        if (Accept(Tok::KwFinally)) {
            auto s = NewStmt(StmtKind::TryFinally, pos);
            s->body = std::move(block);
            ParseStmtList(s->body2);
            Expect(Tok::KwEnd);
            return s;
        }
        Expect(Tok::KwExcept);
        auto s = NewStmt(StmtKind::TryExcept, pos);
        s->body = std::move(block);
        if (AtIdent("on")) {
            while (AtIdent("on")) {
                ExceptHandler h;
                h.pos = Take().pos;
                const Token& first = Expect(Tok::Ident);
                if (Accept(Tok::Colon)) {
                    h.var = first.lower;
                    h.varRaw = first.text;
                    h.className = Expect(Tok::Ident).lower;
                } else {
                    h.className = first.lower;
                }
                Expect(Tok::KwDo);
                h.body = ParseStatement();
                s->handlers.push_back(std::move(h));
                if (!Accept(Tok::Semicolon)) break;
            }
            if (Accept(Tok::KwElse)) ParseStmtList(s->body2);
        } else {
            ParseStmtList(s->body2);
        }
        Expect(Tok::KwEnd);
        return s;
    }

    // ---- expressions
    static bool StartsExpr(Tok k) {
        switch (k) {
            case Tok::Ident:
            case Tok::IntLit:
            case Tok::RealLit:
            case Tok::StrLit:
            case Tok::LParen:
            case Tok::LBracket:
            case Tok::KwNot:
            case Tok::Minus:
            case Tok::Plus:
                return true;
            default:
                return false;
        }
    }

    ExprPtr NewExpr(ExprKind kind, SourcePos pos) {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->pos = pos;
        return e;
    }
    ExprPtr NameExpr(const Token& tok) {
        auto e = NewExpr(ExprKind::Name, tok.pos);
        e->name = tok.lower;
        e->raw = tok.text;
        return e;
    }
    void AddKid(Expr& parent, ExprPtr kid) {
        parent.depth = std::max(parent.depth, kid->depth + 1);
        if (parent.depth > kMaxExprHeight) Fail(parent.pos, "Expression too complex");
        parent.kids.push_back(std::move(kid));
    }
    ExprPtr Binary(Tok op, SourcePos pos, ExprPtr l, ExprPtr r) {
        auto e = NewExpr(ExprKind::Binary, pos);
        e->op = op;
        AddKid(*e, std::move(l));
        AddKid(*e, std::move(r));
        return e;
    }

    ExprPtr ParseExpr() {
        Nest guard(*this, Cur().pos);
        ExprPtr left = ParseSimple();
        switch (Cur().kind) {
            case Tok::Eq:
            case Tok::NotEq:
            case Tok::Less:
            case Tok::Greater:
            case Tok::LessEq:
            case Tok::GreaterEq:
            case Tok::KwIn: {
                const Token& op = Take();
                return Binary(op.kind, op.pos, std::move(left), ParseSimple());
            }
            default:
                return left;
        }
    }

    ExprPtr ParseSimple() {
        ExprPtr left = ParseTerm();
        while (Cur().kind == Tok::Plus || Cur().kind == Tok::Minus || Cur().kind == Tok::KwOr ||
               Cur().kind == Tok::KwXor) {
            const Token& op = Take();
            left = Binary(op.kind, op.pos, std::move(left), ParseTerm());
        }
        return left;
    }

    ExprPtr ParseTerm() {
        ExprPtr left = ParseFactor();
        while (Cur().kind == Tok::Star || Cur().kind == Tok::Slash || Cur().kind == Tok::KwDiv ||
               Cur().kind == Tok::KwMod || Cur().kind == Tok::KwAnd || Cur().kind == Tok::KwShl ||
               Cur().kind == Tok::KwShr) {
            const Token& op = Take();
            left = Binary(op.kind, op.pos, std::move(left), ParseFactor());
        }
        return left;
    }

    ExprPtr ParseFactor() {
        Nest guard(*this, Cur().pos);
        const Token& tok = Cur();
        SourcePos pos = tok.pos;
        switch (tok.kind) {
            case Tok::IntLit: {
                auto e = NewExpr(ExprKind::Literal, pos);
                e->literal = Value(Take().intValue);
                return e;
            }
            case Tok::RealLit: {
                auto e = NewExpr(ExprKind::Literal, pos);
                e->literal = Value(Take().realValue);
                return e;
            }
            case Tok::StrLit: {
                auto e = NewExpr(ExprKind::Literal, pos);
                e->literal = Value(Take().text);
                return e;
            }
            case Tok::KwNot:
            case Tok::Minus:
            case Tok::Plus: {
                Tok op = Take().kind;
                ExprPtr operand = ParseFactor();
                if (op == Tok::Plus) return operand;
                auto e = NewExpr(ExprKind::Unary, pos);
                e->op = op;
                AddKid(*e, std::move(operand));
                return e;
            }
            case Tok::LParen: {
                Take();
                ExprPtr inner = ParseExpr();
                Expect(Tok::RParen);
                return inner;
            }
            case Tok::LBracket: {
                Take();
                auto e = NewExpr(ExprKind::SetLit, pos);
                if (!Accept(Tok::RBracket)) {
                    do {
                        ExprPtr item = ParseExpr();
                        if (Cur().kind == Tok::DotDot) {
                            auto range = NewExpr(ExprKind::Range, Take().pos);
                            AddKid(*range, std::move(item));
                            AddKid(*range, ParseExpr());
                            item = std::move(range);
                        }
                        AddKid(*e, std::move(item));
                    } while (Accept(Tok::Comma));
                    Expect(Tok::RBracket);
                }
                return e;
            }
            case Tok::Ident:
                return ParseDesignator();
            case Tok::At:
                Fail(pos, "Pointers are not supported");
            default:
                Fail(pos, "Illegal expression: " + Shown(tok) + " found");
        }
    }

    ExprPtr ParseDesignator() {
        ExprPtr e = NameExpr(Expect(Tok::Ident));
        while (true) {
            if (Cur().kind == Tok::LParen) {
                if (e->kind != ExprKind::Name)
                    Fail(Cur().pos, "Illegal expression: only named routines can be called");
                Take();
                auto call = NewExpr(ExprKind::Call, e->pos);
                call->name = e->name;
                call->raw = e->raw;
                if (!Accept(Tok::RParen)) {
                    do AddKid(*call, ParseExpr());
                    while (Accept(Tok::Comma));
                    Expect(Tok::RParen);
                }
                e = std::move(call);
            } else if (Cur().kind == Tok::LBracket) {
                auto idx = NewExpr(ExprKind::Index, Take().pos);
                AddKid(*idx, std::move(e));
                do AddKid(*idx, ParseExpr());
                while (Accept(Tok::Comma));
                Expect(Tok::RBracket);
                e = std::move(idx);
            } else if (Cur().kind == Tok::Dot) {
                auto field = NewExpr(ExprKind::Field, Take().pos);
                const Token& name = Expect(Tok::Ident);
                field->name = name.lower;
                field->raw = name.text;
                AddKid(*field, std::move(e));
                e = std::move(field);
            } else if (Cur().kind == Tok::Caret) {
                Fail(Cur().pos, "Pointers are not supported");
            } else {
                return e;
            }
        }
    }

    std::vector<Token> t_;
    std::size_t p_ = 0;
    int nesting_ = 0;
    std::string unitName_;
};

}  // namespace

ParseResult Parse(std::string_view text) {
    ParseResult result;
    LexResult lexed = Lex(text);
    // A lexing error is reported after the tokens before it have been parsed, so that the unit's name (which
    // the message carries) is known when the unit heading was read.
    std::string unitName;
    if (!lexed.tokens.empty() && lexed.tokens.size() >= 2 && lexed.tokens[0].kind == Tok::KwUnit &&
        lexed.tokens[1].kind == Tok::Ident)
        unitName = lexed.tokens[1].text;
    if (!lexed.ok) {
        result.error = lexed.error;
        result.error.unit = unitName;
        return result;
    }
    Parser parser(std::move(lexed.tokens));
    try {
        result.unit = parser.ParseUnit();
        result.ok = true;
    } catch (const ParseFail& f) {
        result.error.unit = parser.UnitName();
        result.error.line = f.pos.line;
        result.error.column = f.pos.column;
        result.error.text = f.text;
    }
    return result;
}

}  // namespace kinoloop::pascal
