// The dialect's rules one by one: variant arithmetic, conversions on assignment, name lookup, errors with
// their places, limits that keep hostile text from crashing, and the API (compile, run, call, stop).
#include <gtest/gtest.h>

#include "script_support.h"
#include "scripting/pascal/builtins.h"
#include "scripting/pascal/interpreter.h"
#include "scripting/pascal/output_host.h"
#include "scripting/pascal/parser.h"

namespace kinoloop::testing {
namespace {

using pascal::Interpreter;
using pascal::Value;

// A unit whose Main runs the given statements with the given declarations before it.
std::string Unit(const std::string& body, const std::string& decls = "") {
    return "unit T;\n" + decls + "\nprocedure Main;\nbegin\n" + body + "\nend;\n\nend.\n";
}

struct Case {
    const char* what;
    const char* body;
    const char* expected;
};

class Expressions : public ::testing::TestWithParam<Case> {};

TEST_P(Expressions, PrintTheirValue) {
    const Case& c = GetParam();
    EXPECT_EQ(RunScript(Unit(std::string("WriteLn(") + c.body + ");")), std::string(c.expected) + "\n")
        << c.what;
}

const Case kExpressions[] = {
    {"integer overflow of 32 bits goes on in 64", "2147483647 * 2", "4294967294"},
    {"overflow of 64 bits goes on in floating point", "9223372036854775807 + 1", "9.22337203685478E18"},
    {"slash gives a float", "6 / 3", "2"},
    {"slash of integers keeps the fraction", "7 / 2", "3.5"},
    {"div on floats rounds halves to even first", "2.5 div 1", "2"},
    {"mod on floats rounds first", "7.5 mod 3", "2"},
    {"strings join with +", "'a' + 'b' + 'c'", "abc"},
    {"a numeric string adds as a number", "'2' + 3", "5"},
    {"integers and floats compare", "(3 = 3.0) and (2 < 2.5) and (3.5 > 3)", "TRUE"},
    {"and short-circuits on booleans", "(1 > 2) and (1 div 0 = 1)", "FALSE"},
    {"or short-circuits on booleans", "(1 < 2) or (1 div 0 = 1)", "TRUE"},
    {"and is bitwise on integers", "12 and 10", "8"},
    {"not is bitwise on integers", "not 5", "-6"},
    {"hexadecimal literals", "$10 + $ff", "271"},
    {"character codes", "#72#105", "Hi"},
    {"doubled quotes", "'don''t'", "don't"},
    {"exponent literals", "1.5e3 + 2E-1", "1500.2"},
    {"unary minus on a parenthesis", "-(2 + 3) * 2", "-10"},
    {"booleans print in capitals", "True", "TRUE"},
    {"FloatToStr of a third", "FloatToStr(1 / 3)", "0.333333333333333"},
    {"Round halves to even", "Round(0.5) + Round(1.5) + Round(2.5)", "4"},
    {"Format with every kind", "Format('%d %s %.2f %f', [3, 'x', 1.005, 2.5])", "3 x 1.01 2.50"},
    {"High of a type", "High(Integer)", "2147483647"},
    {"Low of a byte", "Low(Byte)", "0"},
    {"Sqr keeps integers", "Sqr(-12)", "144"},
    {"Random below a bound", "Random(1) + Random(1)", "0"},
    {"Copy without count", "Copy('abcdef', 3)", "cdef"},
    {"Pos of a missing text", "Pos('z', 'abc')", "0"},
    {"Chr of Ord", "Chr(Ord('a') + 25)", "z"},
};

INSTANTIATE_TEST_SUITE_P(Variants, Expressions, ::testing::ValuesIn(kExpressions));

class Statements : public ::testing::TestWithParam<Case> {};

TEST_P(Statements, PrintWhatTheyShould) {
    const Case& c = GetParam();
    EXPECT_EQ(RunScript(Unit(c.body,
                             "var i: Integer; b: Byte; w: Word; d: Double; s: String; v: Variant; "
                             "c: Char; bo: Boolean; x: TAnything; si: Single;\n"
                                     "function Grow(var t: String): String;\nbegin\n  Result := t;\n  t := 'changed';\nend;")),
              c.expected)
        << c.what;
}

const Case kStatements[] = {
    {"a float stored in an integer rounds halves to even", "i := 2.5; WriteLn(i); i := 3.5; WriteLn(i);",
     "2\n4\n"},
    {"a byte keeps the low 8 bits", "b := 300; WriteLn(b);", "44\n"},
    {"a word keeps the low 16 bits", "w := 65536 + 5; WriteLn(w);", "5\n"},
    {"an integer keeps 32 bits", "i := 2147483647; i := i + 1; WriteLn(i);", "-2147483648\n"},
    {"a number stored in a string becomes its text", "s := 12; s := s + '!'; WriteLn(s);", "12!\n"},
    {"a numeric string stored in a double", "d := '2.5'; WriteLn(d * 2);", "5\n"},
    {"a variant takes any value", "v := 1; v := v + 0.5; WriteLn(v); v := 'x'; WriteLn(v);", "1.5\nx\n"},
    {"unknown type names are variants", "x := 'free'; WriteLn(x); x := 3; WriteLn(x * 2);", "free\n6\n"},
    {"a single loses precision", "si := 0.1; WriteLn(si = 0.1);", "FALSE\n"},
    {"an integer stored in a boolean", "bo := 5; WriteLn(bo);", "TRUE\n"},
    {"a string stored in a char keeps one character", "c := 'xyz'; WriteLn(c);", "x\n"},
    {"names ignore case", "I := 4; WRITELN(i * I);", "16\n"},
    {"case on strings", "s := 'b'; case s of 'a': WriteLn(1); 'b', 'c': WriteLn(2); end;", "2\n"},
    {"exit in main", "WriteLn(1); Exit; WriteLn(2);", "1\n"},
    {"raise a string", "try raise 'plain' except on E: Exception do WriteLn(E.Message) end;", "plain\n"},
    {"class names of exceptions",
     "try raise EMine.Create('m') except on E: Exception do WriteLn(E.ClassName) end;", "EMine\n"},
    {"a handler of another class lets it pass",
     "try try raise EOne.Create('one') except on E: ETwo do WriteLn('two') end; except WriteLn('outer') end;",
     "outer\n"},
    {"the else of handlers",
     "try raise EOne.Create('x') except on E: ETwo do WriteLn(2) else WriteLn('else') end;", "else\n"},
    {"an error inside a routine is caught by the caller",
     "try s := Copy('a', 1, 1); i := StrToInt(s) except WriteLn('caught') end;", "caught\n"},
    {"x := x + f() reads x before f changes it", "s := 'a'; s := s + Grow(s); WriteLn(s);", "aa\n"},
    {"out of bounds is an error",
     "try s := 'ab'; c := s[3]; except on E: Exception do WriteLn(E.Message) end;",
     "String index out of bounds (3)\n"},
};

INSTANTIATE_TEST_SUITE_P(Conversions, Statements, ::testing::ValuesIn(kStatements));

struct ErrorCase {
    const char* what;
    const char* text;
    const char* message;
    unsigned column;
};

class Errors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(Errors, CarryUnitLineAndColumn) {
    const ErrorCase& c = GetParam();
    Interpreter in;
    in.SetText(c.text);
    pascal::OutputHost out([](std::string_view) {});
    auto error = in.RunMain(out);
    ASSERT_TRUE(error) << c.what;
    EXPECT_EQ(error->Message(), c.message) << c.what;
    if (c.column) {
        EXPECT_EQ(error->column, c.column) << c.what;
    }
}

const ErrorCase kErrors[] = {
    {"undeclared identifier at run time",
     "unit Untitled;\nprocedure Main;\nbegin\n  WriteLn(1);\n  foo := 2;\nend;\nend.",
     "Error in unit 'Untitled' on line 5: Undeclared identifier 'foo'", 3},
    {"no main", "unit Untitled;\nprocedure Other;\nbegin\nend;\nend.",
     "Error in unit 'Untitled': Function 'main' undefined", 0},
    {"not a unit", "program X;\nbegin\nend.",
     "Error in unit '' on line 1: 'unit' expected but 'program' found", 1},
    {"syntax error in a routine that never runs",
     "unit U;\nprocedure Never;\nbegin\n  x := ;\nend;\nprocedure Main;\nbegin\nend;\nend.",
     "Error in unit 'U' on line 4: Illegal expression: ';' found", 8},
    {"missing semicolon", "unit U;\nprocedure Main;\nbegin\n  WriteLn(1)\n  WriteLn(2);\nend;\nend.",
     "Error in unit 'U' on line 5: 'end' expected but identifier 'WriteLn' found", 3},
    {"unterminated string", "unit U;\nprocedure Main;\nbegin\n  WriteLn('abc);\nend;\nend.",
     "Error in unit 'U' on line 4: String exceeds line", 11},
    {"unterminated comment", "unit U;\n{ never closed\nprocedure Main;\nbegin\nend;\nend.",
     "Error in unit 'U' on line 2: Unterminated comment", 1},
    {"wrong number of arguments",
     "unit U;\nprocedure P(a: Integer);\nbegin\nend;\nprocedure Main;\nbegin\n  P;\nend;\nend.",
     "Error in unit 'U' on line 7: Not enough actual parameters", 3},
    {"break outside a loop", "unit U;\nprocedure Main;\nbegin\n  Break;\nend;\nend.",
     "Error in unit 'U' on line 4: BREAK or CONTINUE outside of loop", 3},
    {"assignment to a constant", "unit U;\nconst C = 1;\nprocedure Main;\nbegin\n  C := 2;\nend;\nend.",
     "Error in unit 'U' on line 5: Left side cannot be assigned to", 3},
    {"duplicate declaration", "unit U;\nvar a: Integer;\nvar a: Integer;\nprocedure Main;\nbegin\nend;\nend.",
     "Error in unit 'U' on line 3: Identifier redeclared: 'a'", 5},
    {"runaway recursion",
     "unit U;\nprocedure R;\nbegin\n  R;\nend;\nprocedure Main;\nbegin\n  R;\nend;\nend.",
     "Error in unit 'U' on line 4: Stack overflow", 3},
    {"division by zero not handled",
     "unit U;\nprocedure Main;\nvar i: Integer;\nbegin\n  i := 0;\n  i := 1 div i;\nend;\nend.",
     "Error in unit 'U' on line 6: Division by zero", 0},
    {"an unhandled raise", "unit U;\nprocedure Main;\nbegin\n  raise Exception.Create('custom');\nend;\nend.",
     "Error in unit 'U' on line 4: custom", 3},
};

INSTANTIATE_TEST_SUITE_P(Messages, Errors, ::testing::ValuesIn(kErrors));

TEST(Interpreter, CompileFindsSyntaxErrorsWithoutRunning) {
    Interpreter in;
    in.SetText(
        "unit U;\nprocedure Main;\nbegin\n  undeclaredButFine;\nend;\nprocedure Broken;\nbegin\n  if "
        "then;\nend;\nend.");
    auto error = in.Compile();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 8u);
    in.SetText("unit U;\nprocedure Main;\nbegin\n  undeclaredButFine;\nend;\nend.");
    EXPECT_FALSE(in.Compile()) << "host names are only known at run time";
}

TEST(Interpreter, GlobalsLiveUntilTheTextIsReplaced) {
    std::string out;
    pascal::OutputHost host([&out](std::string_view s) { out += s; });
    Interpreter in;
    in.SetText(
        Unit("n := n + 1; WriteLn(n);", "var n: Integer;\nprocedure Other;\nbegin\n  n := n + 10;\nend;"));
    EXPECT_FALSE(in.RunMain(host));
    EXPECT_FALSE(in.CallRoutine("other", host));
    EXPECT_FALSE(in.RunMain(host));
    EXPECT_EQ(out, "1\n12\n");
    in.SetText(in.Text());
    EXPECT_FALSE(in.RunMain(host));
    EXPECT_EQ(out, "1\n12\n1\n");
}

TEST(Interpreter, CallingAMissingRoutineNamesIt) {
    Interpreter in;
    in.SetText(Unit(""));
    pascal::OutputHost host([](std::string_view) {});
    auto error = in.CallRoutine("KillScript", host);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text, "Function 'KillScript' undefined");
}

// A host whose one name calls back into the interpreter, as a Stop click during a pause does.
class ReentrantHost : public pascal::ScriptHost {
public:
    Interpreter* in = nullptr;
    bool stopFromInside = false;
    int waits = 0;
    bool ScriptGetValue(std::string_view name, std::span<const Value>, Value&) override {
        if (name != "Wait") return false;
        ++waits;
        if (waits == 3) {
            if (stopFromInside)
                in->RequestStop();
            else
                EXPECT_FALSE(in->CallRoutine("KillScript", *this));
        }
        return true;
    }
    bool ScriptSetValue(std::string_view, const Value&) override { return false; }
};

TEST(Interpreter, KillScriptRunsWhileMainWaitsInAHostCall) {
    Interpreter in;
    in.SetText(Unit("while not stop do Wait;",
                    "var stop: Boolean;\nprocedure KillScript;\nbegin\n  stop := True;\nend;"));
    ReentrantHost host;
    host.in = &in;
    EXPECT_FALSE(in.RunMain(host));
    EXPECT_EQ(host.waits, 3);
    EXPECT_FALSE(in.Running());
}

TEST(Interpreter, AStopRequestEndsALoopTheScriptCannotCatch) {
    Interpreter in;
    in.SetText(Unit("try while True do Wait; except WriteLn('caught'); end;"));
    ReentrantHost host;
    host.in = &in;
    host.stopFromInside = true;
    auto error = in.RunMain(host);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text, "Script stopped");
    EXPECT_FALSE(in.StopRequested()) << "cleared when the run ends";
}

TEST(Interpreter, TextCannotBeReplacedWhileRunning) {
    Interpreter in;
    in.SetText(Unit("Wait;"));
    struct Host : pascal::ScriptHost {
        Interpreter* in;
        bool replaced = true;
        bool ScriptGetValue(std::string_view, std::span<const Value>, Value&) override {
            replaced = in->SetText("unit X; end.");
            return true;
        }
        bool ScriptSetValue(std::string_view, const Value&) override { return false; }
    } host;
    host.in = &in;
    EXPECT_FALSE(in.RunMain(host));
    EXPECT_FALSE(host.replaced);
}

TEST(Interpreter, TheTemplateRunsAsWritten) {
    std::string text = ReadFile(SourceDir() / "assets" / "Scr" / "default.script");
    ASSERT_FALSE(text.empty());
    Interpreter in;
    in.SetText(text);
    pascal::OutputHost host([](std::string_view) {});
    EXPECT_FALSE(in.RunMain(host));
    EXPECT_FALSE(in.CallRoutine("KillScript", host));
}

TEST(Limits, DeepNestingIsAnErrorNotACrash) {
    struct Deep {
        const char* what;
        std::string text;
    } cases[] = {
        {"parentheses", Unit("WriteLn(" + std::string(5000, '(') + "1" + std::string(5000, ')') + ");")},
        {"unary minus", Unit("WriteLn(" + std::string(5000, '-') + "1);")},
        {"begin blocks", Unit([] {
             std::string s;
             for (int i = 0; i < 3000; ++i) s += "begin ";
             for (int i = 0; i < 3000; ++i) s += "end; ";
             return s;
         }())},
        {"a long chain of operators", Unit("WriteLn(1" +
                                           [] {
                                               std::string s;
                                               for (int i = 0; i < 20000; ++i) s += "+1";
                                               return s;
                                           }() +
                                           ");")},
    };
    for (const Deep& d : cases) {
        pascal::ParseResult r = pascal::Parse(d.text);
        EXPECT_FALSE(r.ok) << d.what;
        EXPECT_FALSE(r.error.text.empty()) << d.what;
    }
}

TEST(Limits, HugeArraysAreRefused) {
    for (const char* decl :
         {"var a: array[1..1000000000] of Integer;", "var a: array[1..2000, 1..2000, 1..2000] of Byte;",
          "var a: array[-9223372036854775807..9223372036854775807] of Byte;"})
        EXPECT_EQ(RunScript(Unit("", decl)), "ERROR: Error in unit 'T' on line 2: Array too large\n") << decl;
}

TEST(Builtins, FormatRejectsMismatchedArguments) {
    Value args[] = {Value(1.5)};
    EXPECT_THROW(pascal::FormatText("%d", args), pascal::RuntimeFault);
    EXPECT_THROW(pascal::FormatText("%d %d", std::span<const Value>(args, 0)), pascal::RuntimeFault);
    EXPECT_EQ(pascal::FormatText("%5.1f|%-4s|%.3d", std::vector<Value>{Value(-0.04), Value("ab"), Value(7)}),
              "  0.0|ab  |007");
}

}  // namespace
}  // namespace kinoloop::testing
