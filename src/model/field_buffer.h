#pragma once
// `txtRecords`: the fields of the node being shown or edited, one per line.
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

class FieldBuffer {
public:
    // Loads a field text: every ":" becomes a line break.
    void Load(std::string_view fieldText);
    void Clear() { lines_.clear(); }

    // A line that does not exist reads as "".
    const std::string& Line(int index) const;
    // Writing a line that does not exist does nothing.
    void SetLine(int index, std::string text);
    int LineCount() const { return static_cast<int>(lines_.size()); }
    const std::vector<std::string>& Lines() const { return lines_; }

    // The lines joined by ":" again, as StoreNodeText stores them.
    std::string FieldText() const;

private:
    std::vector<std::string> lines_;
};

}  // namespace kinoloop
