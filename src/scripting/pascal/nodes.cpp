#include "scripting/pascal/nodes.h"

#include <cmath>
#include <limits>

namespace kinoloop::pascal {

namespace {

// A fault without a place gets the place of the node it passes through.
template <typename F>
auto WithPlace(SourcePos pos, F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (RuntimeFault& fault) {
        if (fault.pos.line == 0) fault.pos = pos;
        throw;
    }
}

// C++ stack the evaluator may use below the point where a run began; deep recursion fails before the thread's
// stack (8 MiB on Linux) runs out, also when a run is entered from inside nested event loops.
constexpr std::ptrdiff_t kStackBudget = 3 * 1024 * 1024;
constexpr int kMaxDepth = 20000;

std::int64_t Wrap(std::int64_t v, TypeId id) {
    switch (id) {
        case TypeId::Integer:
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        case TypeId::Byte:
            return static_cast<std::uint8_t>(v);
        case TypeId::Shortint:
            return static_cast<std::int8_t>(static_cast<std::uint8_t>(v));
        case TypeId::Word:
            return static_cast<std::uint16_t>(v);
        case TypeId::Smallint:
            return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
        case TypeId::Cardinal:
            return static_cast<std::uint32_t>(v);
        default:
            return v;
    }
}

ArrayObject* UniqueArray(Value& slot) {
    auto* arr = static_cast<ArrayObject*>(slot.RawHeap());
    if (arr->refs > 1) {
        auto* copy = new ArrayObject(*arr);
        copy->refs = 1;
        slot = Value(static_cast<HeapObject*>(copy));
        arr = copy;
    }
    return arr;
}

std::size_t ElementIndex(const ArrayObject& arr, const Value& index) {
    std::int64_t i = index.ToInt();
    std::int64_t off = 0;
    if (i < arr.low || __builtin_sub_overflow(i, arr.low, &off) ||
        off >= static_cast<std::int64_t>(arr.items.size()))
        Fail("Index out of bounds (" + std::to_string(i) + ")", "ERangeError");
    return static_cast<std::size_t>(off);
}

}  // namespace

void FailAt(SourcePos pos, std::string text, std::string className) {
    throw RuntimeFault{std::move(text), std::move(className), FaultKind::Catchable, pos};
}
void FailFatal(SourcePos pos, std::string text) {
    throw RuntimeFault{std::move(text), "Exception", FaultKind::Fatal, pos};
}
void ThrowStopped(SourcePos pos) {
    FailFatal(pos, "Script stopped");
}

Value DefaultValue(const TypeDesc* desc, TypeId id) {
    switch (id) {
        case TypeId::Variant:
            return Value();
        case TypeId::Double:
        case TypeId::Single:
            return Value(0.0);
        case TypeId::Boolean:
            return Value(false);
        case TypeId::String:
        case TypeId::Char:
            return Value(std::string());
        case TypeId::Array: {
            auto* arr = new ArrayObject();
            arr->low = desc->low;
            arr->elemType = desc->elem ? desc->elem->id : TypeId::Variant;
            arr->elemDesc = desc->elem;
            std::int64_t n = desc->high - desc->low + 1;
            arr->items.reserve(static_cast<std::size_t>(n));
            for (std::int64_t i = 0; i < n; ++i)
                arr->items.push_back(DefaultValue(desc->elem, arr->elemType));
            return Value(static_cast<HeapObject*>(arr));
        }
        default:
            return Value(std::int64_t{0});
    }
}

void StoreConverted(Value& dst, Value v, TypeId id, const TypeDesc* desc) {
    switch (id) {
        case TypeId::Variant:
            dst = std::move(v);
            return;
        case TypeId::Integer:
        case TypeId::Byte:
        case TypeId::Shortint:
        case TypeId::Word:
        case TypeId::Smallint:
        case TypeId::Cardinal:
        case TypeId::Int64:
            if (v.IsArray() || v.kind() == Kind::Object)
                Fail("Incompatible types: an array or object is not a number");
            dst = Value(Wrap(v.IsInt() ? v.RawInt() : v.ToInt(), id));
            return;
        case TypeId::Double:
            dst = Value(v.IsFloat() ? v.RawFloat() : v.ToFloat());
            return;
        case TypeId::Single:
            dst = Value(static_cast<double>(static_cast<float>(v.ToFloat())));
            return;
        case TypeId::Boolean:
            dst = Value(v.ToBool());
            return;
        case TypeId::String:
            if (v.IsStr())
                dst = std::move(v);
            else
                dst = Value(v.ToText());
            return;
        case TypeId::Char: {
            std::string s = v.IsInt() ? std::string(1, static_cast<char>(v.RawInt())) : v.ToText();
            dst = Value(s.substr(0, 1));
            return;
        }
        case TypeId::Array:
            if (!v.IsArray()) Fail("Incompatible types: an array is required");
            dst = std::move(v);
            return;
    }
}

// ---- expressions
Value IndexNode::Eval(Ctx& c) const {
    Value b = base->Eval(c);
    Value i = index->Eval(c);
    return WithPlace(pos, [&]() -> Value {
        if (b.IsArray()) {
            const auto& arr = *static_cast<ArrayObject*>(b.RawHeap());
            return arr.items[ElementIndex(arr, i)];
        }
        if (b.IsStr()) {
            const std::string& s = b.StrRef();
            std::int64_t k = i.ToInt();
            if (k < 1 || k > static_cast<std::int64_t>(s.size()))
                Fail("String index out of bounds (" + std::to_string(k) + ")", "ERangeError");
            return Value(std::string(1, s[static_cast<std::size_t>(k - 1)]));
        }
        Fail("Array type required");
    });
}

Value* IndexNode::Ref(Ctx& c) const {
    auto* lv = static_cast<const LValue*>(base.get());
    Value* slot = lv->Ref(c);
    if (!slot) FailAt(pos, "Variable required");
    Value i = index->Eval(c);
    return WithPlace(pos, [&]() -> Value* {
        if (!slot->IsArray()) Fail("Array type required");
        ArrayObject* arr = UniqueArray(*slot);
        return &arr->items[ElementIndex(*arr, i)];
    });
}

void IndexNode::Store(Ctx& c, Value v) const {
    auto* lv = static_cast<const LValue*>(base.get());
    Value* slot = lv->Ref(c);
    if (!slot) FailAt(pos, "Variable required");
    Value i = index->Eval(c);
    WithPlace(pos, [&] {
        if (slot->IsStr()) {
            std::int64_t k = i.ToInt();
            std::string& s = slot->MutableStr();
            if (k < 1 || k > static_cast<std::int64_t>(s.size()))
                Fail("String index out of bounds (" + std::to_string(k) + ")", "ERangeError");
            std::string t = v.IsInt() ? std::string(1, static_cast<char>(v.RawInt())) : v.ToText();
            s[static_cast<std::size_t>(k - 1)] = t.empty() ? '\0' : t[0];
            return;
        }
        if (!slot->IsArray()) Fail("Array type required");
        ArrayObject* arr = UniqueArray(*slot);
        std::size_t at = ElementIndex(*arr, i);
        StoreConverted(arr->items[at], std::move(v), arr->elemType, arr->elemDesc);
    });
}

Value FieldNode::Eval(Ctx& c) const {
    Value b = base->Eval(c);
    if (b.kind() != Kind::Object) FailAt(pos, "Illegal qualifier");
    auto* e = static_cast<ExceptionObject*>(b.RawHeap());
    if (name == "message") return Value(e->message);
    if (name == "classname") return Value(e->className);
    FailAt(pos, "Undeclared identifier '" + name + "'");
}

Value HostName::Eval(Ctx& c) const {
    Value small[8];
    std::vector<Value> large;
    Value* argv = small;
    if (args.size() > 8) {
        large.resize(args.size());
        argv = large.data();
    }
    for (std::size_t i = 0; i < args.size(); ++i) argv[i] = args[i]->Eval(c);
    Value result;
    if (!c.host || !c.host->ScriptGetValue(raw, std::span<const Value>(argv, args.size()), result))
        FailAt(pos, "Undeclared identifier '" + raw + "'");
    return result;
}

void HostName::Store(Ctx& c, Value v) const {
    if (!c.host || !c.host->ScriptSetValue(raw, v)) FailAt(pos, "Undeclared identifier '" + raw + "'");
}

Value UnaryNode::Eval(Ctx& c) const {
    Value v = operand->Eval(c);
    return WithPlace(pos, [&] { return op == Tok::Minus ? Negate(v) : Not(v); });
}

Value BinaryNode::Slow(const Value& a, const Value& b) const {
    return WithPlace(pos, [&] { return Arith(op, a, b); });
}

Value BinaryNode::Eval(Ctx& c) const {
    Value a = left->Eval(c), b = right->Eval(c);
    return Slow(a, b);
}

template <Tok OP>
bool CompareNode<OP>::SlowBool(const Value& a, const Value& b) const {
    return WithPlace(pos, [&] {
        if constexpr (OP == Tok::Eq) return Equal(a, b);
        if constexpr (OP == Tok::NotEq) return !Equal(a, b);
        return Holds(Compare(a, b));
    });
}
template struct CompareNode<Tok::Eq>;
template struct CompareNode<Tok::NotEq>;
template struct CompareNode<Tok::Less>;
template struct CompareNode<Tok::Greater>;
template struct CompareNode<Tok::LessEq>;
template struct CompareNode<Tok::GreaterEq>;

Value LogicNode::Eval(Ctx& c) const {
    Value a = left->Eval(c);
    if (a.IsBool()) {
        bool isAnd = op == Tok::KwAnd;
        if (isAnd && !a.RawBool()) return Value(false);
        if (!isAnd && a.RawBool()) return Value(true);
        Value b = right->Eval(c);
        if (b.IsBool()) return b;
        return WithPlace(pos, [&] { return Value(b.ToBool()); });
    }
    Value b = right->Eval(c);
    return Slow(a, b);
}

bool InNode::EvalBool(Ctx& c) const {
    Value v = value->Eval(c);
    for (const auto& [lo, hi] : items) {
        Value l = lo->Eval(c);
        if (!hi) {
            if (WithPlace(pos, [&] { return Equal(v, l); })) return true;
            continue;
        }
        Value h = hi->Eval(c);
        if (WithPlace(pos, [&] { return Compare(v, l) >= 0 && Compare(v, h) <= 0; })) return true;
    }
    return false;
}

Value ArrayLiteral::Eval(Ctx& c) const {
    auto* arr = new ArrayObject();
    Value result(static_cast<HeapObject*>(arr));
    arr->items.reserve(items.size());
    for (const auto& item : items) arr->items.push_back(item->Eval(c));
    return result;
}

namespace {
// Restores the caller's frame however the callee ends, releasing the callee's values.
struct FrameGuard {
    Ctx& c;
    Value* frame;
    Value* savedFp;
    int size;
    ~FrameGuard() {
        for (int i = 0; i < size; ++i) frame[i] = Value();
        c.sp = frame;
        c.fp = savedFp;
        --c.depth;
    }
};

void EnterCall(Ctx& c, const RoutineInfo& r, SourcePos pos) {
    CheckStop(c, pos);
    char probe;
    if (c.depth >= kMaxDepth || c.stackBase - &probe > kStackBudget || c.sp + r.frameSize > c.stackEnd)
        FailFatal(pos, "Stack overflow");
}

Value RunBody(Ctx& c, const RoutineInfo& r, Value* frame) {
    c.fp = frame;
    for (const LocalInit& l : r.locals) frame[l.slot] = DefaultValue(l.desc, l.type);
    r.body->Exec(c);
    return std::move(frame[0]);
}
}  // namespace

Value InvokeRoutine(Ctx& c, const RoutineInfo& r, SourcePos pos) {
    EnterCall(c, r, pos);
    Value* frame = c.sp;
    ++c.depth;
    FrameGuard guard{c, frame, c.fp, r.frameSize};
    c.sp = frame + r.frameSize;
    frame[0] = DefaultValue(r.resultDesc, r.resultType);
    return RunBody(c, r, frame);
}

Value CallUser::Eval(Ctx& c) const {
    const RoutineInfo& r = *routine;
    EnterCall(c, r, pos);
    Value* frame = c.sp;
    ++c.depth;
    FrameGuard guard{c, frame, c.fp, r.frameSize};
    c.sp = frame + r.frameSize;  // arguments that call routines build their frames above this one
    if (r.isFunction) frame[0] = DefaultValue(r.resultDesc, r.resultType);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ParamInfo& p = r.params[i];
        if (p.byRef) {
            Value* target = static_cast<const LValue*>(args[i].get())->Ref(c);
            if (!target) FailAt(args[i]->pos, "Variable required");
            frame[i + 1] = Value::MakeRef(target);
        } else {
            Value v = args[i]->Eval(c);
            WithPlace(args[i]->pos, [&] { StoreFast(frame[i + 1], std::move(v), p.type, p.desc); });
        }
    }
    return RunBody(c, r, frame);
}

Value CallBuiltin::Eval(Ctx& c) const {
    Value argv[4];
    int n = static_cast<int>(args.size());
    std::vector<Value> large;
    Value* p = argv;
    if (n > 4) {
        large.resize(args.size());
        p = large.data();
    }
    for (int i = 0; i < n; ++i) p[i] = args[static_cast<std::size_t>(i)]->Eval(c);
    return WithPlace(pos, [&] { return fn(c, p, n); });
}

// ---- statements
Flow Block::Exec(Ctx& c) const {
    std::size_t i = 0;
    try {
        for (; i < items.size(); ++i) {
            Flow f = items[i]->Exec(c);
            if (f != Flow::Normal) return f;
        }
    } catch (RuntimeFault& fault) {
        if (fault.pos.line == 0) fault.pos = items[i]->pos;
        throw;
    }
    return Flow::Normal;
}

Flow AppendStmt::Exec(Ctx& c) const {
    Value* slot = target->Ref(c);
    // The variable is read before the right side runs (which may change it); holding the old value costs one
    // reference, given back before appending so that a string held only here still grows in place.
    Value old = *slot;
    Value e = extra->Eval(c);
    bool unchanged = old.kind() == slot->kind() && (old.kind() < Kind::Str || old.RawHeap() == slot->RawHeap());
    if (unchanged && slot->IsStr() && e.IsStr()) {
        old = Value();
        if (!e.StrRef().empty()) slot->MutableStr() += e.StrRef();
        return Flow::Normal;
    }
    Value sum = WithPlace(pos, [&] { return Add(old, e); });
    WithPlace(pos, [&] { StoreFast(*slot, std::move(sum), type, desc); });
    return Flow::Normal;
}

Flow CaseStmt::Exec(Ctx& c) const {
    Value v = selector->Eval(c);
    return WithPlace(pos, [&]() -> Flow {
        for (const Branch& b : branches) {
            for (const Label& l : b.labels) {
                bool hit = l.range ? (Compare(v, l.low) >= 0 && Compare(v, l.high) <= 0) : Equal(v, l.low);
                if (hit) return b.body ? b.body->Exec(c) : Flow::Normal;
            }
        }
        return otherwise ? otherwise->Exec(c) : Flow::Normal;
    });
}

Flow ForStmt::Exec(Ctx& c) const {
    Value a = from->Eval(c), b = to->Eval(c);  // the bounds are evaluated once
    std::int64_t first = WithPlace(pos, [&] { return a.ToInt(); });
    std::int64_t last = WithPlace(pos, [&] { return b.ToInt(); });
    Value* slot = var->Ref(c);
    if (downto ? first < last : first > last) return Flow::Normal;
    for (std::int64_t i = first;; downto ? --i : ++i) {
        CheckStop(c, pos);
        if (slot)
            slot->SetRawInt(i);
        else
            var->Store(c, Value(i));
        if (body) {
            Flow f = body->Exec(c);
            if (f == Flow::Break) break;
            if (f == Flow::Exit) return f;
        }
        if (i == last) break;
    }
    return Flow::Normal;
}

Flow WhileStmt::Exec(Ctx& c) const {
    while (cond->EvalBool(c)) {
        CheckStop(c, pos);
        if (!body) continue;
        Flow f = body->Exec(c);
        if (f == Flow::Break) break;
        if (f == Flow::Exit) return f;
    }
    return Flow::Normal;
}

Flow RepeatStmt::Exec(Ctx& c) const {
    while (true) {
        CheckStop(c, pos);
        Flow f = body->Exec(c);
        if (f == Flow::Break) break;
        if (f == Flow::Exit) return f;
        if (cond->EvalBool(c)) break;
    }
    return Flow::Normal;
}

Flow IncDecStmt::Exec(Ctx& c) const {
    Value d = delta ? delta->Eval(c) : Value(std::int64_t{1});
    Value cur = target->Eval(c);
    Value next = increment ? Add(cur, d) : Sub(cur, d);
    WithPlace(pos, [&] { target->Store(c, std::move(next)); });
    return Flow::Normal;
}

Flow TryExceptStmt::Exec(Ctx& c) const {
    Value* savedSp = c.sp;
    Value* savedFp = c.fp;
    int savedDepth = c.depth;
    try {
        return body->Exec(c);
    } catch (RuntimeFault& fault) {
        if (fault.kind == FaultKind::Fatal) throw;
        c.sp = savedSp;
        c.fp = savedFp;
        c.depth = savedDepth;
        Value object(static_cast<HeapObject*>(new ExceptionObject(fault.className, fault.text)));
        const Value* outer = c.currentException;
        struct Restore {
            Ctx& c;
            const Value* outer;
            ~Restore() { c.currentException = outer; }
        } restore{c, outer};
        c.currentException = &object;
        std::string cls = fault.className;
        for (char& ch : cls) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        for (const Handler& h : handlers) {
            if (h.className != "exception" && h.className != cls) continue;
            if (h.slot >= 0) (h.global ? c.globals : c.fp)[h.slot] = object;
            return h.body ? h.body->Exec(c) : Flow::Normal;
        }
        if (otherwise) return otherwise->Exec(c);
        if (!handlers.empty()) throw;
        return Flow::Normal;
    }
}

Flow TryFinallyStmt::Exec(Ctx& c) const {
    Flow f;
    try {
        f = body->Exec(c);
    } catch (RuntimeFault&) {
        if (cleanup) cleanup->Exec(c);
        throw;
    }
    if (cleanup) {
        Flow g = cleanup->Exec(c);
        if (g != Flow::Normal) return g;
    }
    return f;
}

Flow RaiseStmt::Exec(Ctx& c) const {
    if (!message) {
        if (!c.currentException) FailAt(pos, "No exception to raise again");
        auto* e = static_cast<ExceptionObject*>(c.currentException->RawHeap());
        FailAt(pos, e->message, e->className);
    }
    Value v = message->Eval(c);
    if (v.kind() == Kind::Object) {
        auto* e = static_cast<ExceptionObject*>(v.RawHeap());
        FailAt(pos, e->message, e->className);
    }
    std::string text = WithPlace(pos, [&] { return v.ToText(); });
    FailAt(pos, std::move(text), className.empty() ? "Exception" : className);
}

}  // namespace kinoloop::pascal
