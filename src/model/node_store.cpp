#include "model/node_store.h"

#include <algorithm>
#include <utility>

namespace kinoloop {

NodeText* NodeStore::Find(std::int32_t column, std::int32_t row) {
    return const_cast<NodeText*>(std::as_const(*this).Find(column, row));
}

const NodeText* NodeStore::Find(std::int32_t column, std::int32_t row) const {
    const auto found = std::find_if(records_.begin(), records_.end(), [&](const NodeText& record) {
        return record.column == column && record.row == row;
    });
    return found == records_.end() ? nullptr : &*found;
}

NodeText* NodeStore::FindById(std::int32_t id) {
    return const_cast<NodeText*>(std::as_const(*this).FindById(id));
}

const NodeText* NodeStore::FindById(std::int32_t id) const {
    const auto found =
        std::find_if(records_.begin(), records_.end(), [&](const NodeText& record) { return record.id == id; });
    return found == records_.end() ? nullptr : &*found;
}

void NodeStore::ShowFirst(std::int32_t id) {
    const auto placed =
        std::find_if(records_.begin(), records_.end(), [&](const NodeText& record) { return record.id == id; });
    if (placed == records_.end()) return;
    const auto first = std::find_if(records_.begin(), placed, [&](const NodeText& record) {
        return record.column == placed->column && record.row == placed->row;
    });
    std::rotate(first, placed, placed + 1);
}

bool NodeStore::Remove(std::int32_t column, std::int32_t row) {
    const auto found = std::find_if(records_.begin(), records_.end(), [&](const NodeText& record) {
        return record.column == column && record.row == row;
    });
    if (found == records_.end()) return false;
    records_.erase(found);
    return true;
}

std::int32_t NodeStore::HighestId() const {
    std::int32_t highest = -1;
    for (const NodeText& record : records_) highest = std::max(highest, record.id);
    return highest;
}

}  // namespace kinoloop
