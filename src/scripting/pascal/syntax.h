#pragma once
// The parsed program as written: the parser builds it, the compiler turns it into the evaluator's tree.
#include <memory>
#include <string>
#include <vector>

#include "scripting/pascal/errors.h"
#include "scripting/pascal/lexer.h"
#include "scripting/pascal/value.h"

namespace kinoloop::pascal::syntax {

enum class ExprKind : std::uint8_t {
    Literal,  // literal
    Name,     // name
    Call,     // name(args): kids are the arguments
    Index,    // kids[0][kids[1], ...]
    Field,    // kids[0].name
    Unary,    // op kids[0]
    Binary,   // kids[0] op kids[1]
    SetLit,   // [kids...], a kid may be a Range
    Range,    // kids[0]..kids[1] inside a set
};

struct Expr {
    ExprKind kind = ExprKind::Literal;
    SourcePos pos{};
    Tok op = Tok::End;
    Value literal;
    std::string name;  // lower case
    std::string raw;   // as written
    std::vector<std::unique_ptr<Expr>> kids;
    int depth = 1;  // height of this subtree, bounded so that evaluation cannot exhaust the stack
};
using ExprPtr = std::unique_ptr<Expr>;

struct Type {
    SourcePos pos{};
    std::string name;  // lower case type name, "" for an array declared in place
    std::string raw;
    bool isArray = false;
    ExprPtr low, high;  // bounds of an array
    std::unique_ptr<Type> elem;
};
using TypePtr = std::unique_ptr<Type>;

enum class StmtKind : std::uint8_t {
    Empty,
    Assign,
    Call,
    Compound,
    If,
    Case,
    For,
    While,
    Repeat,
    TryExcept,
    TryFinally,
    Raise,
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;

struct CaseLabel {
    ExprPtr low, high;  // high is null for a single value
};
struct CaseBranch {
    std::vector<CaseLabel> labels;
    StmtPtr body;
};
struct ExceptHandler {
    SourcePos pos{};
    std::string var, varRaw;  // "" when the handler names no variable
    std::string className;    // lower case
    StmtPtr body;
};

struct Stmt {
    StmtKind kind = StmtKind::Empty;
    SourcePos pos{};
    ExprPtr target;  // assignment target, call, for variable
    ExprPtr expr;    // assigned value, condition, case selector, for start, raise message
    ExprPtr expr2;   // for end
    bool downto = false;
    std::vector<StmtPtr> body;   // compound, repeat, try blocks
    std::vector<StmtPtr> body2;  // finally block, except block without handlers, or handlers' else
    StmtPtr then, otherwise;     // if; while/for body in `then`
    std::vector<CaseBranch> branches;
    std::vector<ExceptHandler> handlers;
    std::string raiseClass;  // raise E.Create(...): the class name as written; "" for a re-raise
};

struct Param {
    SourcePos pos{};
    std::string name, raw;
    bool byRef = false;  // var parameter
    TypePtr type;        // null for an untyped parameter
};

struct ConstDecl {
    SourcePos pos{};
    std::string name, raw;
    TypePtr type;  // typed constant, may be null
    ExprPtr value;
};
struct VarDecl {
    SourcePos pos{};
    std::string name, raw;
    std::shared_ptr<Type> type;  // shared by "a, b: T"
    ExprPtr init;                // "var x: Integer = 5;" at unit level
};
struct TypeDecl {
    SourcePos pos{};
    std::string name, raw;
    TypePtr type;
};

struct Routine {
    SourcePos pos{};
    std::string name, raw;
    bool isFunction = false;
    std::vector<Param> params;
    TypePtr result;
    std::vector<ConstDecl> consts;
    std::vector<VarDecl> vars;
    std::vector<TypeDecl> types;
    StmtPtr body;  // null for a heading without body (interface part, forward)
};

struct Unit {
    std::string name, raw;
    std::vector<ConstDecl> consts;
    std::vector<VarDecl> vars;
    std::vector<TypeDecl> types;
    std::vector<Routine> routines;
};

}  // namespace kinoloop::pascal::syntax
