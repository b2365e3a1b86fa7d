#include "audio/sound_nodes.h"

#include <exception>

#include "model/field_text.h"
#include "model/node_kind.h"

namespace kinoloop {
namespace {

const std::string& SoundTag() {
    static const std::string tag = KindInfo(NodeKind::Sound).tag;
    return tag;
}

char ContinuationCode() {
    return KindInfo(NodeKind::Sound).continuation;
}

// Empties the run of the node's own covered cells right after its head.
void ClearCoveredCells(TimelineGrid& grid, int column, int row) {
    const std::string own(1, ContinuationCode());
    for (int k = column + 1; k < grid.ColumnCount() && grid.Cell(k, row) == own; ++k)
        grid.SetCell(k, row, "");
}

}  // namespace

int SoundLengthFrames(int ms, int fps) {
    if (ms < 0 || fps < 1) return 0;
    const long long frames = static_cast<long long>(ms / 1000) * fps;
    return frames > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(frames);
}

SoundBrowseResult BrowseSoundFile(Movie& movie, Notices& notices, SoundFileMeasure& measure, int column,
                                  int row, const std::string& path, int fps) {
    SoundBrowseResult result;
    const NodeText* record = movie.nodeStore.Find(column, row);
    if (record == nullptr || record->tag != SoundTag()) {
        notices.Inform(kSoundLoadProblem);
        return result;
    }
    std::vector<std::string> fields = SplitFields(record->fieldText);
    if (fields.size() <= static_cast<std::size_t>(field::SoundLength)) fields.resize(field::SoundLength + 1);

    // The longest lengths the node can get are known before measuring: refuse a path that cannot be kept
    // whole.
    fields[field::SoundPath] = PathToField(path);
    fields[field::Length] = fields[field::SoundLength] = "2147483647";
    if (JoinFields(fields).size() > NodeText::kFieldTextMax) {
        notices.Refuse(kSoundPathTooLong);
        return result;
    }

    notices.Progress(kScanningSoundFile);
    try {
        int length = SoundLengthFrames(measure.FileLengthMs(path), fps);

        TimelineGrid& grid = movie.strTimeline;
        ClearCoveredCells(grid, column, row);
        const std::string covered(1, ContinuationCode());
        for (int k = column + 1; k <= column + length - 1; ++k) {
            // Beyond the last column there is no room either.
            if (k >= grid.ColumnCount() || !grid.Cell(k, row).empty()) {
                length = k - column;
                result.truncated = true;
                notices.Inform(kSoundTruncated);
                break;
            }
            grid.SetCell(k, row, covered);
        }

        fields[field::Length] = fields[field::SoundLength] = std::to_string(length);
        const std::string text = JoinFields(fields);
        movie.StoreNodeText(text, column, row);
        movie.txtRecords.Load(text);
        result.stored = true;
        result.length = length;
    } catch (const std::exception&) {
        // Whatever was already changed stays changed; the user is told that the node may be wrong.
        notices.Inform(kSoundLoadProblem);
    }
    return result;
}

std::string SoundNodePath(const std::string& fieldText) {
    const std::vector<std::string> fields = SplitFields(fieldText);
    return fields.size() > static_cast<std::size_t>(field::SoundPath) ? FieldToPath(fields[field::SoundPath])
                                                                      : std::string();
}

std::vector<std::string> SoundNodePaths(const NodeStore& store) {
    std::vector<std::string> paths;
    for (const NodeText& record : store.Records()) {
        if (record.tag == SoundTag()) paths.push_back(SoundNodePath(record.fieldText));
    }
    return paths;
}

}  // namespace kinoloop
