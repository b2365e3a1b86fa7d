#include "movie_json.h"

#include <json/json.h>

#include <cstring>
#include <map>
#include <memory>
#include <sstream>

#include "model/field_text.h"
#include "model/node_kind.h"

namespace kinoloop {

namespace {

constexpr const char* kFormat = "knloop-movie";
constexpr int kVersion = 1;
// Bounds that keep a generated file from asking for more memory than any movie needs: a day at 100 fps.
constexpr Json::Int64 kMaxColumns = 24 * 3600 * 100;
constexpr Json::Int64 kMaxTracks = 10000;
constexpr Json::Int64 kMaxCells = 50'000'000;

std::string BytesToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (b >> 6));
            text += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return text;
}

// UTF-8 back to single bytes; false for a character above U+00FF or broken UTF-8.
bool Utf8ToBytes(std::string_view text, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            bytes += text[i];
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            bytes += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

// Reads the parts of a JSON document with a path for every message.
class Checker {
public:
    std::string error;

    bool Fail(const std::string& where, const std::string& what) {
        if (error.empty()) error = where + ": " + what;
        return false;
    }
    const Json::Value* Member(const Json::Value& object, const std::string& where, const char* name) {
        const Json::Value* value = object.find(name, name + std::strlen(name));
        if (value == nullptr) Fail(where, std::string("\"") + name + "\" is missing");
        return value;
    }
    bool Text(const Json::Value& object, const std::string& where, const char* name, std::string& out,
              std::size_t max) {
        const Json::Value* value = Member(object, where, name);
        if (value == nullptr) return false;
        const std::string path = where + "." + name;
        if (!value->isString()) return Fail(path, "is not a string");
        const char* begin = nullptr;
        const char* end = nullptr;
        value->getString(&begin, &end);
        if (!Utf8ToBytes(std::string_view(begin, static_cast<std::size_t>(end - begin)), out)) {
            return Fail(path, "holds a character that is not a single byte (above U+00FF)");
        }
        if (out.size() > max) return Fail(path, "is longer than " + std::to_string(max) + " bytes");
        return true;
    }
    bool Integer(const Json::Value& object, const std::string& where, const char* name, Json::Int64 low,
                 Json::Int64 high, Json::Int64& out) {
        const Json::Value* value = Member(object, where, name);
        if (value == nullptr) return false;
        const std::string path = where + "." + name;
        if (!value->isInt64()) return Fail(path, "is not an integer");
        out = value->asInt64();
        if (out < low || out > high) {
            return Fail(path, std::to_string(out) + " is outside " + std::to_string(low) + ".." +
                                  std::to_string(high));
        }
        return true;
    }
    bool Bool(const Json::Value& object, const std::string& where, const char* name, bool& out) {
        const Json::Value* value = Member(object, where, name);
        if (value == nullptr) return false;
        if (!value->isBool()) return Fail(where + "." + name, "is not true or false");
        out = value->asBool();
        return true;
    }
    const Json::Value* Array(const Json::Value& object, const std::string& where, const char* name) {
        const Json::Value* value = Member(object, where, name);
        if (value != nullptr && !value->isArray()) {
            Fail(where + "." + name, "is not an array");
            return nullptr;
        }
        return value;
    }
};

// A cell code as the timeline holds it: a head letter, a head letter and "n", or a continuation letter.
bool IsCellCode(std::string_view code) {
    if (code.size() == 2) return IsHeadCode(code[0]) && code[1] == kNoteMark;
    if (code.size() != 1) return false;
    if (IsHeadCode(code[0])) return true;
    for (NodeKind kind :
         {NodeKind::Replay, NodeKind::Camera, NodeKind::Script, NodeKind::Effect, NodeKind::Sound,
          NodeKind::ReplayStart, NodeKind::ReplayStop, NodeKind::HotMoment}) {
        if (KindInfo(kind).continuation == code[0]) return true;
    }
    return false;
}

bool ReadHeader(Checker& check, const Json::Value& root, Movie& movie) {
    const Json::Value* header = check.Member(root, "movie", "header");
    if (header == nullptr) return false;
    if (!header->isObject()) return check.Fail("header", "is not an object");
    MovieHeader& h = movie.header;
    return check.Text(*header, "header", "author", h.MovieAuthor, 25) &&
           check.Text(*header, "header", "trackName", h.MovieTrackName, 25) &&
           check.Text(*header, "header", "introFile", h.IntroFile, 255) &&
           check.Text(*header, "header", "outroFile", h.OutroFile, 255);
}

bool ReadGrid(Checker& check, const Json::Value& root, Movie& movie) {
    Json::Int64 columns = 0;
    if (!check.Integer(root, "movie", "columns", 1, kMaxColumns, columns)) return false;
    const Json::Value* tracks = check.Array(root, "movie", "tracks");
    if (tracks == nullptr) return false;
    if (tracks->empty() || tracks->size() > kMaxTracks) {
        return check.Fail("tracks", "must hold 1 to " + std::to_string(kMaxTracks) + " tracks");
    }
    if (columns * static_cast<Json::Int64>(tracks->size()) > kMaxCells) {
        return check.Fail("movie", "columns x tracks is more than " + std::to_string(kMaxCells) + " cells");
    }
    movie.strTimeline.SetColumnCount(static_cast<int>(columns));
    movie.strTimeline.SetRowCount(static_cast<int>(tracks->size()) + 1);
    movie.strTimeline.WriteHeaderLabels();
    movie.strTracks.SetRowCount(static_cast<int>(tracks->size()) + 1);
    for (Json::ArrayIndex i = 0; i < tracks->size(); ++i) {
        const std::string where = "tracks[" + std::to_string(i) + "]";
        const Json::Value& track = (*tracks)[i];
        if (!track.isObject()) return check.Fail(where, "is not an object");
        TrackGrid::Row& row = movie.strTracks.At(static_cast<int>(i) + 1);
        bool locked = false;
        if (!check.Text(track, where, "name", row.name, 4096) ||
            !check.Bool(track, where, "locked", locked)) {
            return false;
        }
        if (row.name.find_first_of("\r\n") != std::string::npos)
            return check.Fail(where + ".name", "holds a line break");
        row.lock = locked ? "L" : "";
    }
    const Json::Value* cells = check.Array(root, "movie", "cells");
    if (cells == nullptr) return false;
    for (Json::ArrayIndex i = 0; i < cells->size(); ++i) {
        const std::string where = "cells[" + std::to_string(i) + "]";
        const Json::Value& cell = (*cells)[i];
        if (!cell.isObject()) return check.Fail(where, "is not an object");
        Json::Int64 column = 0, row = 0;
        std::string code;
        if (!check.Integer(cell, where, "column", 0, columns - 1, column) ||
            !check.Integer(cell, where, "row", 1, static_cast<Json::Int64>(tracks->size()), row) ||
            !check.Text(cell, where, "code", code, 2)) {
            return false;
        }
        if (!IsCellCode(code)) return check.Fail(where + ".code", "\"" + code + "\" is not a cell code");
        movie.strTimeline.SetCell(static_cast<int>(column), static_cast<int>(row), code);
    }
    return true;
}

bool ReadRecords(Checker& check, const Json::Value& root, Movie& movie) {
    const Json::Value* records = check.Array(root, "movie", "records");
    if (records == nullptr) return false;
    for (Json::ArrayIndex i = 0; i < records->size(); ++i) {
        const std::string where = "records[" + std::to_string(i) + "]";
        const Json::Value& value = (*records)[i];
        if (!value.isObject()) return check.Fail(where, "is not an object");
        NodeText record;
        Json::Int64 id = 0, column = 0, row = 0;
        if (!check.Integer(value, where, "id", INT32_MIN, INT32_MAX - 1, id) ||
            !check.Text(value, where, "tag", record.tag, 3) ||
            !check.Integer(value, where, "column", INT32_MIN, INT32_MAX, column) ||
            !check.Integer(value, where, "row", INT32_MIN, INT32_MAX, row) ||
            !check.Text(value, where, "note", record.note, NodeText::kNoteMax)) {
            return false;
        }
        if (!KindFromTag(record.tag))
            return check.Fail(where + ".tag", "\"" + record.tag + "\" is not a node kind");
        const Json::Value* fields = check.Array(value, where, "fields");
        if (fields == nullptr) return false;
        std::vector<std::string> texts;
        for (Json::ArrayIndex f = 0; f < fields->size(); ++f) {
            const std::string path = where + ".fields[" + std::to_string(f) + "]";
            const Json::Value& field = (*fields)[f];
            if (!field.isString()) return check.Fail(path, "is not a string");
            std::string bytes;
            if (!Utf8ToBytes(field.asString(), bytes))
                return check.Fail(path, "holds a character above U+00FF");
            if (bytes.find(':') != std::string::npos) return check.Fail(path, "contains \":\"");
            texts.push_back(std::move(bytes));
        }
        if (texts.empty()) return check.Fail(where + ".fields", "is empty");
        record.fieldText = JoinFields(texts);
        if (record.fieldText.size() > NodeText::kFieldTextMax) {
            return check.Fail(where + ".fields", "joined with \":\" they are longer than 255 bytes");
        }
        record.id = static_cast<std::int32_t>(id);
        record.column = static_cast<std::int32_t>(column);
        record.row = static_cast<std::int32_t>(row);
        movie.nodeStore.Append(std::move(record));
    }
    movie.NextNodeID = std::max<std::int32_t>(0, movie.nodeStore.HighestId()) + 1;
    movie.header.nextIdCopy = movie.NextNodeID;
    return true;
}

}  // namespace

std::string MovieToJson(const Movie& movie) {
    Json::Value root(Json::objectValue);
    root["format"] = kFormat;
    root["version"] = kVersion;
    Json::Value& header = root["header"];
    header["author"] = BytesToUtf8(movie.header.MovieAuthor);
    header["trackName"] = BytesToUtf8(movie.header.MovieTrackName);
    header["introFile"] = BytesToUtf8(movie.header.IntroFile);
    header["outroFile"] = BytesToUtf8(movie.header.OutroFile);
    root["columns"] = movie.strTimeline.ColumnCount();
    Json::Value& tracks = root["tracks"] = Json::Value(Json::arrayValue);
    for (int row = 1; row < movie.strTracks.RowCount(); ++row) {
        Json::Value track(Json::objectValue);
        track["name"] = BytesToUtf8(movie.strTracks.At(row).name);
        track["locked"] = movie.strTracks.IsLocked(row);
        tracks.append(std::move(track));
    }
    Json::Value& cells = root["cells"] = Json::Value(Json::arrayValue);
    for (int row = 1; row < movie.strTimeline.RowCount(); ++row) {
        for (int column = 0; column < movie.strTimeline.ColumnCount(); ++column) {
            const std::string_view code = movie.strTimeline.Cell(column, row);
            if (code.empty()) continue;
            Json::Value cell(Json::objectValue);
            cell["column"] = column;
            cell["row"] = row;
            cell["code"] = BytesToUtf8(code);
            cells.append(std::move(cell));
        }
    }
    Json::Value& records = root["records"] = Json::Value(Json::arrayValue);
    for (const NodeText& record : movie.nodeStore.Records()) {
        Json::Value node(Json::objectValue);
        node["id"] = record.id;
        node["tag"] = BytesToUtf8(record.tag);
        node["column"] = record.column;
        node["row"] = record.row;
        Json::Value& fields = node["fields"] = Json::Value(Json::arrayValue);
        for (const std::string& field : SplitFields(record.fieldText)) fields.append(BytesToUtf8(field));
        node["note"] = BytesToUtf8(record.note);
        records.append(std::move(node));
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "  ";
    writer["emitUTF8"] = true;
    return Json::writeString(writer, root) + "\n";
}

Result<Movie> MovieFromJson(std::string_view json) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    builder["stackLimit"] = 200;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(json.data(), json.data() + json.size(), &root, &errors)) {
        for (char& c : errors) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        while (!errors.empty() && errors.back() == ' ') errors.pop_back();
        return Error{"not valid JSON: " + errors};
    }
    if (!root.isObject()) return Error{"the document is not a JSON object"};
    Checker check;
    std::string format;
    Json::Int64 version = 0;
    if (!check.Text(root, "movie", "format", format, 64)) return Error{check.error};
    if (format != kFormat) return Error{"movie.format: \"" + format + "\" is not \"" + kFormat + "\""};
    if (!check.Integer(root, "movie", "version", kVersion, kVersion, version)) return Error{check.error};

    Movie movie;
    if (!ReadHeader(check, root, movie) || !ReadGrid(check, root, movie) ||
        !ReadRecords(check, root, movie)) {
        return Error{check.error};
    }
    return movie;
}

std::string MovieInfo(const Movie& movie) {
    std::ostringstream out;
    const MovieHeader& h = movie.header;
    out << "Movie file name: " << h.MovieFileName << "\n"
        << "Author: " << h.MovieAuthor << "\n"
        << "Track name: " << h.MovieTrackName << "\n"
        << "Intro file: " << h.IntroFile << "\n"
        << "Outro file: " << h.OutroFile << "\n"
        << "Next node id: " << movie.NextNodeID << "\n"
        << "Columns: " << movie.strTimeline.ColumnCount() << "\n"
        << "Tracks: " << movie.strTracks.RowCount() - 1 << "\n"
        << "Nodes: " << movie.nodeStore.Size() << "\n";
    std::map<std::string, int> counts;
    for (const NodeText& record : movie.nodeStore.Records()) ++counts[record.tag];
    for (NodeKind kind :
         {NodeKind::Replay, NodeKind::Camera, NodeKind::Script, NodeKind::Effect, NodeKind::Sound,
          NodeKind::ReplayStart, NodeKind::ReplayStop, NodeKind::HotMoment, NodeKind::TimeMarker}) {
        const char* tag = KindInfo(kind).tag;
        out << "  " << tag << ": " << counts[tag] << "\n";
        counts.erase(tag);
    }
    for (const auto& [tag, count] : counts) out << "  unknown tag \"" << tag << "\": " << count << "\n";
    return out.str();
}

}  // namespace kinoloop
