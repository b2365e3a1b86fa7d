#pragma once
// Node kinds, their three-letter tags and the cell codes that mark them on the timeline.
#include <optional>
#include <string>
#include <string_view>

namespace kinoloop {

enum class NodeKind { Replay, Camera, Script, Effect, Sound, ReplayStart, ReplayStop, HotMoment, TimeMarker };

struct NodeKindInfo {
    NodeKind kind;
    const char* tag;    // "REP", "CAM", ...
    char head;          // upper-case cell code where the node begins
    char continuation;  // lower-case code of the cells it runs over, '\0' for time markers
};

const NodeKindInfo& KindInfo(NodeKind kind);
std::optional<NodeKind> KindFromTag(std::string_view tag);
std::optional<NodeKind> KindFromHeadCode(char head);

// The nine head letters C, E, G, H, M, R, S, T, X. A cell begins a node exactly when its first character is one.
bool IsHeadCode(char c);

// Note mark: a head code followed by 'n' ("Cn") means the node has a note.
inline constexpr char kNoteMark = 'n';

}  // namespace kinoloop
