#pragma once
// The movie's node records in the order they were added. Lookups return the first match.
#include <cstdint>
#include <vector>

#include "model/node_text.h"

namespace kinoloop {

class NodeStore {
public:
    const std::vector<NodeText>& Records() const { return records_; }
    std::size_t Size() const { return records_.size(); }
    bool Empty() const { return records_.empty(); }

    NodeText* Find(std::int32_t column, std::int32_t row);
    const NodeText* Find(std::int32_t column, std::int32_t row) const;
    NodeText* FindById(std::int32_t id);
    const NodeText* FindById(std::int32_t id) const;

    void Append(NodeText record) { records_.push_back(std::move(record)); }
    // A node just placed on the grid goes ahead of any hidden (cut) record that still names the same cell, so
    // that lookups reach the node the cell shows. Nothing when there is no such record.
    void ShowFirst(std::int32_t id);
    // Removes the first record at the cell; false when there is none.
    bool Remove(std::int32_t column, std::int32_t row);
    void Clear() { records_.clear(); }

    // Every record, for operations that renumber rows or walk the store.
    std::vector<NodeText>& MutableRecords() { return records_; }

    // Highest id in the store, or -1 when it is empty.
    std::int32_t HighestId() const;

private:
    std::vector<NodeText> records_;
};

}  // namespace kinoloop
