// Arbitrary bytes as a script text: the lexer, the parser and the compiler must answer with a program or an
// error carrying a place, never crash, hang or exhaust the stack (nesting is bounded).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scripting/pascal/compiler.h"
#include "scripting/pascal/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    kinoloop::pascal::ParseResult parsed = kinoloop::pascal::Parse(text);
    if (!parsed.ok) {
        if (parsed.error.text.empty()) __builtin_trap();  // every error says what is wrong
        return 0;
    }
    kinoloop::pascal::CompileResult compiled = kinoloop::pascal::CompileUnit(parsed.unit);
    if (!compiled.program && compiled.error.text.empty()) __builtin_trap();
    return 0;
}
