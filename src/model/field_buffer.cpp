#include "model/field_buffer.h"

#include "model/field_text.h"

namespace kinoloop {

namespace {
const std::string kNoLine;
}

void FieldBuffer::Load(std::string_view fieldText) { lines_ = SplitFields(fieldText); }

const std::string& FieldBuffer::Line(int index) const {
    if (index < 0 || index >= LineCount()) return kNoLine;
    return lines_[static_cast<std::size_t>(index)];
}

void FieldBuffer::SetLine(int index, std::string text) {
    if (index < 0 || index >= LineCount()) return;
    lines_[static_cast<std::size_t>(index)] = std::move(text);
}

std::string FieldBuffer::FieldText() const { return JoinFields(lines_); }

}  // namespace kinoloop
