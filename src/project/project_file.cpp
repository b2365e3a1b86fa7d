#include "project/project_file.h"

#include <algorithm>
#include <cstdint>

#include "project/container.h"
#include "project/grid_file.h"
#include "project/node_file.h"
#include "shell/file_io.h"

namespace kinoloop {

namespace {

constexpr const char* kNodesSuffix = ".nodes";
constexpr const char* kTracksSuffix = ".tracks";
constexpr const char* kLineSuffix = ".line";

bool EndsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The member named name + suffix; failing that, the only member with the suffix: a project file that was
// renamed after saving still opens.
const ContainerMember* FindMember(const std::vector<ContainerMember>& members, const std::string& name,
                                  std::string_view suffix) {
    for (const ContainerMember& member : members) {
        if (member.name == name + std::string(suffix)) return &member;
    }
    const ContainerMember* only = nullptr;
    for (const ContainerMember& member : members) {
        if (!EndsWith(member.name, suffix)) continue;
        if (only != nullptr) return nullptr;
        only = &member;
    }
    return only;
}

std::string FolderText(const std::filesystem::path& projectPath) {
    std::filesystem::path folder = projectPath.parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    std::string text = (error ? folder : absolute).lexically_normal().string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

}  // namespace

Result<std::string> PackMovie(const Movie& movie, const std::filesystem::path& projectPath,
                              const MemberPacked& onPacked) {
    const std::string name = projectPath.filename().string();
    if (name.empty()) return Error{"no project file name given"};
    if (name.size() + std::string_view(kTracksSuffix).size() > kContainerMaxText) {
        return Error{"the file name " + name + " is too long (at most 248 bytes)"};
    }
    std::string directory = FolderText(projectPath);
    if (directory.size() > kContainerMaxText) directory.clear();  // the folder text is only informative

    const std::string members[3][2] = {
        {name + kNodesSuffix, WriteNodeFile(movie, name)},
        {name + kTracksSuffix, WriteGridFile(movie.strTracks)},
        {name + kLineSuffix, WriteGridFile(movie.strTimeline)},
    };
    std::string file;
    for (const auto& [memberName, bytes] : members) {
        Result<std::string> entry = WriteContainer({{directory, memberName, bytes}});
        if (!entry) return Error{entry.Message()};
        file += *entry;
        if (onPacked) onPacked(memberName);
    }
    return file;
}

Status WriteMovie(const Movie& movie, const std::filesystem::path& projectPath,
                  const MemberPacked& onPacked) {
    Result<std::string> bytes = PackMovie(movie, projectPath, onPacked);
    if (!bytes) return Error{"Could not save " + projectPath.string() + ": " + bytes.Message()};
    const std::string failure = WriteFileReplacing(projectPath, *bytes);
    if (!failure.empty()) return Error{"Could not save " + projectPath.string() + ": " + failure};
    return Success();
}

Result<Movie> UnpackMovie(std::string_view projectBytes, const std::filesystem::path& projectPath) {
    const std::string name = projectPath.filename().string();
    const auto fail = [&](const std::string& what) {
        return Error{"Could not open " + projectPath.string() + ": " + what};
    };
    Result<std::vector<ContainerMember>> members = ReadContainer(projectBytes);
    if (!members) return fail(members.Message());

    const ContainerMember* nodes = FindMember(*members, name, kNodesSuffix);
    const ContainerMember* tracks = FindMember(*members, name, kTracksSuffix);
    const ContainerMember* line = FindMember(*members, name, kLineSuffix);
    if (nodes == nullptr) return fail("it holds no node file " + name + kNodesSuffix);
    if (tracks == nullptr) return fail("it holds no track file " + name + kTracksSuffix);
    if (line == nullptr) return fail("it holds no line file " + name + kLineSuffix);

    Result<NodeFileContent> content = ReadNodeFile(nodes->bytes);
    if (!content) return fail(nodes->name + ": " + content.Message());
    Result<GridText> trackText = ReadGridFile(tracks->bytes);
    if (!trackText) return fail(tracks->name + ": " + trackText.Message());
    Result<TrackGrid> trackGrid = TracksFromText(*trackText);
    if (!trackGrid) return fail(tracks->name + ": " + trackGrid.Message());
    Result<GridText> lineText = ReadGridFile(line->bytes);
    if (!lineText) return fail(line->name + ": " + lineText.Message());
    if (lineText->rows != trackText->rows) {
        return fail("the line file has " + std::to_string(lineText->rows) + " rows but the track file " +
                    std::to_string(trackText->rows));
    }
    Result<TimelineGrid> timeline = TimelineFromText(*lineText);
    if (!timeline) return fail(line->name + ": " + timeline.Message());

    for (const NodeText& record : content->records) {
        if (record.id == INT32_MAX)
            return fail("node id " + std::to_string(record.id) + " leaves no id for a new node");
    }
    Movie movie;
    movie.strTimeline = std::move(*timeline);
    movie.strTracks = std::move(*trackGrid);
    for (NodeText& record : content->records) movie.nodeStore.Append(std::move(record));
    movie.NextNodeID = std::max<std::int32_t>(0, movie.nodeStore.HighestId()) + 1;
    movie.header.nextIdCopy = movie.NextNodeID;
    movie.header.MovieFolder = FolderText(projectPath);
    movie.header.MovieFileName = name;
    movie.header.MovieAuthor = content->author;
    movie.header.MovieTrackName = content->trackName;
    movie.header.IntroFile = content->introFile;
    movie.header.OutroFile = content->outroFile;
    movie.CopiedNodeID = -1;
    return movie;
}

Result<Movie> ReadMovie(const std::filesystem::path& projectPath) {
    std::string error;
    const std::optional<std::string> bytes = ReadWholeFile(projectPath, &error);
    if (!bytes) return Error{"Could not open " + projectPath.string() + ": " + error};
    return UnpackMovie(*bytes, projectPath);
}

Status OpenMovie(Movie& current, const std::filesystem::path& projectPath) {
    Result<Movie> fresh = ReadMovie(projectPath);
    if (!fresh) return Error{fresh.Message()};
    current.ReplaceMovie(std::move(fresh).Value());
    return Success();
}

}  // namespace kinoloop
