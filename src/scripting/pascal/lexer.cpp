#include "scripting/pascal/lexer.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <unordered_map>

namespace kinoloop::pascal {

namespace {

const std::unordered_map<std::string, Tok>& Keywords() {
    static const std::unordered_map<std::string, Tok> table = {
        {"and", Tok::KwAnd},
        {"array", Tok::KwArray},
        {"begin", Tok::KwBegin},
        {"case", Tok::KwCase},
        {"const", Tok::KwConst},
        {"div", Tok::KwDiv},
        {"do", Tok::KwDo},
        {"downto", Tok::KwDownto},
        {"else", Tok::KwElse},
        {"end", Tok::KwEnd},
        {"except", Tok::KwExcept},
        {"finally", Tok::KwFinally},
        {"for", Tok::KwFor},
        {"function", Tok::KwFunction},
        {"if", Tok::KwIf},
        {"implementation", Tok::KwImplementation},
        {"in", Tok::KwIn},
        {"interface", Tok::KwInterface},
        {"mod", Tok::KwMod},
        {"not", Tok::KwNot},
        {"of", Tok::KwOf},
        {"or", Tok::KwOr},
        {"procedure", Tok::KwProcedure},
        {"program", Tok::KwProgram},
        {"raise", Tok::KwRaise},
        {"record", Tok::KwRecord},
        {"repeat", Tok::KwRepeat},
        {"shl", Tok::KwShl},
        {"shr", Tok::KwShr},
        {"then", Tok::KwThen},
        {"to", Tok::KwTo},
        {"try", Tok::KwTry},
        {"type", Tok::KwType},
        {"unit", Tok::KwUnit},
        {"until", Tok::KwUntil},
        {"uses", Tok::KwUses},
        {"var", Tok::KwVar},
        {"while", Tok::KwWhile},
        {"with", Tok::KwWith},
        {"xor", Tok::KwXor},
    };
    return table;
}

bool IsIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : s_(text) {}

    LexResult Run() {
        LexResult out;
        while (true) {
            if (!SkipBlanks(out)) return out;
            Token t;
            t.pos = {line_, col_};
            if (i_ >= s_.size()) {
                t.kind = Tok::End;
                out.tokens.push_back(std::move(t));
                return out;
            }
            if (!Next(t, out)) return out;
            out.tokens.push_back(std::move(t));
        }
    }

private:
    char Peek(std::size_t k = 0) const { return i_ + k < s_.size() ? s_[i_ + k] : '\0'; }
    void Advance() {
        if (s_[i_] == '\n') {
            ++line_;
            col_ = 1;
        } else {
            ++col_;
        }
        ++i_;
    }
    bool Error(LexResult& out, SourcePos pos, std::string text) {
        out.ok = false;
        out.error.line = pos.line;
        out.error.column = pos.column;
        out.error.text = std::move(text);
        return false;
    }

    bool SkipBlanks(LexResult& out) {
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == '\0') {
                Advance();
            } else if (c == '/' && Peek(1) == '/') {
                while (i_ < s_.size() && s_[i_] != '\n') Advance();
            } else if (c == '{') {
                SourcePos start{line_, col_};
                while (i_ < s_.size() && s_[i_] != '}') Advance();
                if (i_ >= s_.size()) return Error(out, start, "Unterminated comment");
                Advance();
            } else if (c == '(' && Peek(1) == '*') {
                SourcePos start{line_, col_};
                Advance();
                Advance();
                while (i_ < s_.size() && !(s_[i_] == '*' && Peek(1) == ')')) Advance();
                if (i_ >= s_.size()) return Error(out, start, "Unterminated comment");
                Advance();
                Advance();
            } else {
                break;
            }
        }
        return true;
    }

    bool Next(Token& t, LexResult& out) {
        char c = s_[i_];
        if (IsIdentStart(c)) {
            std::size_t b = i_;
            while (i_ < s_.size() && IsIdentChar(s_[i_])) Advance();
            t.text = std::string(s_.substr(b, i_ - b));
            t.lower = t.text;
            for (char& ch : t.lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            auto kw = Keywords().find(t.lower);
            t.kind = kw == Keywords().end() ? Tok::Ident : kw->second;
            return true;
        }
        if (IsDigit(c)) return Number(t, out);
        if (c == '$') return HexNumber(t, out);
        if (c == '\'' || c == '#') return String(t, out);
        Advance();
        switch (c) {
            case '+':
                t.kind = Tok::Plus;
                return true;
            case '-':
                t.kind = Tok::Minus;
                return true;
            case '*':
                t.kind = Tok::Star;
                return true;
            case '/':
                t.kind = Tok::Slash;
                return true;
            case '=':
                t.kind = Tok::Eq;
                return true;
            case '(':
                t.kind = Tok::LParen;
                return true;
            case ')':
                t.kind = Tok::RParen;
                return true;
            case '[':
                t.kind = Tok::LBracket;
                return true;
            case ']':
                t.kind = Tok::RBracket;
                return true;
            case ',':
                t.kind = Tok::Comma;
                return true;
            case ';':
                t.kind = Tok::Semicolon;
                return true;
            case '^':
                t.kind = Tok::Caret;
                return true;
            case '@':
                t.kind = Tok::At;
                return true;
            case '<':
                if (Peek() == '>') {
                    Advance();
                    t.kind = Tok::NotEq;
                } else if (Peek() == '=') {
                    Advance();
                    t.kind = Tok::LessEq;
                } else
                    t.kind = Tok::Less;
                return true;
            case '>':
                if (Peek() == '=') {
                    Advance();
                    t.kind = Tok::GreaterEq;
                } else
                    t.kind = Tok::Greater;
                return true;
            case ':':
                if (Peek() == '=') {
                    Advance();
                    t.kind = Tok::Assign;
                } else
                    t.kind = Tok::Colon;
                return true;
            case '.':
                if (Peek() == '.') {
                    Advance();
                    t.kind = Tok::DotDot;
                } else
                    t.kind = Tok::Dot;
                return true;
            default:
                break;
        }
        std::string shown = std::isprint(static_cast<unsigned char>(c))
                                ? std::string(1, c)
                                : "#" + std::to_string(static_cast<unsigned char>(c));
        return Error(out, t.pos, "Illegal character '" + shown + "'");
    }

    bool Number(Token& t, LexResult& out) {
        std::size_t b = i_;
        while (IsDigit(Peek())) Advance();
        bool real = false;
        // "1..5" is a range, not a real number: a point must be followed by a digit.
        if (Peek() == '.' && IsDigit(Peek(1))) {
            real = true;
            Advance();
            while (IsDigit(Peek())) Advance();
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
            real = true;
            Advance();
            if (Peek() == '+' || Peek() == '-') Advance();
            while (IsDigit(Peek())) Advance();
        }
        std::string digits(s_.substr(b, i_ - b));
        if (!real) {
            errno = 0;
            unsigned long long v = std::strtoull(digits.c_str(), nullptr, 10);
            if (errno == 0 && v <= 9223372036854775807ULL) {
                t.kind = Tok::IntLit;
                t.intValue = static_cast<std::int64_t>(v);
                return true;
            }
        }
        t.kind = Tok::RealLit;
        t.realValue = std::strtod(digits.c_str(), nullptr);
        return true;
    }

    bool HexNumber(Token& t, LexResult& out) {
        Advance();
        std::size_t b = i_;
        while (std::isxdigit(static_cast<unsigned char>(Peek()))) Advance();
        if (i_ == b) return Error(out, t.pos, "Hexadecimal digits expected after '$'");
        if (i_ - b > 16) return Error(out, t.pos, "Constant too large");
        t.kind = Tok::IntLit;
        t.intValue =
            static_cast<std::int64_t>(std::strtoull(std::string(s_.substr(b, i_ - b)).c_str(), nullptr, 16));
        return true;
    }

    bool String(Token& t, LexResult& out) {
        t.kind = Tok::StrLit;
        while (Peek() == '\'' || Peek() == '#') {
            if (Peek() == '#') {
                SourcePos at{line_, col_};
                Advance();
                std::int64_t code = 0;
                if (Peek() == '$') {
                    Advance();
                    if (!std::isxdigit(static_cast<unsigned char>(Peek())))
                        return Error(out, at, "Character code expected after '#'");
                    while (std::isxdigit(static_cast<unsigned char>(Peek()))) {
                        code = code * 16 + std::stoi(std::string(1, Peek()), nullptr, 16);
                        if (code > 255) return Error(out, at, "Character code out of range");
                        Advance();
                    }
                } else {
                    if (!IsDigit(Peek())) return Error(out, at, "Character code expected after '#'");
                    while (IsDigit(Peek())) {
                        code = code * 10 + (Peek() - '0');
                        if (code > 255) return Error(out, at, "Character code out of range");
                        Advance();
                    }
                }
                t.text += static_cast<char>(code);
                continue;
            }
            SourcePos at{line_, col_};
            Advance();
            while (true) {
                if (i_ >= s_.size() || Peek() == '\n' || Peek() == '\r')
                    return Error(out, at, "String exceeds line");
                if (Peek() == '\'') {
                    if (Peek(1) == '\'') {
                        t.text += '\'';
                        Advance();
                        Advance();
                        continue;
                    }
                    Advance();
                    break;
                }
                t.text += Peek();
                Advance();
            }
        }
        return true;
    }

    std::string_view s_;
    std::size_t i_ = 0;
    std::uint32_t line_ = 1;
    std::uint32_t col_ = 1;
};

}  // namespace

LexResult Lex(std::string_view text) {
    return Lexer(text).Run();
}

std::string Describe(Tok kind) {
    switch (kind) {
        case Tok::End:
            return "end of file";
        case Tok::Ident:
            return "identifier";
        case Tok::IntLit:
            return "integer constant";
        case Tok::RealLit:
            return "real constant";
        case Tok::StrLit:
            return "string constant";
        case Tok::Plus:
            return "'+'";
        case Tok::Minus:
            return "'-'";
        case Tok::Star:
            return "'*'";
        case Tok::Slash:
            return "'/'";
        case Tok::Eq:
            return "'='";
        case Tok::NotEq:
            return "'<>'";
        case Tok::Less:
            return "'<'";
        case Tok::Greater:
            return "'>'";
        case Tok::LessEq:
            return "'<='";
        case Tok::GreaterEq:
            return "'>='";
        case Tok::Assign:
            return "':='";
        case Tok::LParen:
            return "'('";
        case Tok::RParen:
            return "')'";
        case Tok::LBracket:
            return "'['";
        case Tok::RBracket:
            return "']'";
        case Tok::Comma:
            return "','";
        case Tok::Semicolon:
            return "';'";
        case Tok::Colon:
            return "':'";
        case Tok::Dot:
            return "'.'";
        case Tok::DotDot:
            return "'..'";
        case Tok::Caret:
            return "'^'";
        case Tok::At:
            return "'@'";
        default:
            break;
    }
    for (const auto& [word, tok] : Keywords())
        if (tok == kind) return "'" + word + "'";
    return "token";
}

}  // namespace kinoloop::pascal
