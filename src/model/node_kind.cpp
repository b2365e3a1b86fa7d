#include "model/node_kind.h"

#include <array>

namespace kinoloop {

namespace {
constexpr std::array<NodeKindInfo, 9> kKinds{{
    {NodeKind::Replay, "REP", 'R', 'r'},
    {NodeKind::Camera, "CAM", 'C', 'c'},
    {NodeKind::Script, "SCR", 'S', 's'},
    {NodeKind::Effect, "EFF", 'E', 'e'},
    {NodeKind::Sound, "SND", 'T', 't'},
    {NodeKind::ReplayStart, "STT", 'G', 'g'},
    {NodeKind::ReplayStop, "STP", 'X', 'x'},
    {NodeKind::HotMoment, "MOM", 'H', 'h'},
    {NodeKind::TimeMarker, "MKR", 'M', '\0'},
}};
}  // namespace

const NodeKindInfo& KindInfo(NodeKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

std::optional<NodeKind> KindFromTag(std::string_view tag) {
    for (const NodeKindInfo& info : kKinds) {
        if (tag == info.tag) return info.kind;
    }
    return std::nullopt;
}

std::optional<NodeKind> KindFromHeadCode(char head) {
    for (const NodeKindInfo& info : kKinds) {
        if (head == info.head) return info.kind;
    }
    return std::nullopt;
}

bool IsHeadCode(char c) { return KindFromHeadCode(c).has_value(); }

}  // namespace kinoloop
