#include "project/container.h"

#include <zlib.h>

#include <cstring>

namespace kinoloop {

namespace {

void PutInt32(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::int32_t GetInt32(std::string_view at) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(at[i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

std::string ZlibMessage(const z_stream& stream, int code) {
    if (stream.msg != nullptr) return stream.msg;
    return zError(code);
}

// Reads the container from front to back; every read checks that the bytes are there.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return position_ == bytes_.size(); }
    std::size_t Position() const { return position_; }
    bool Take(std::size_t count, std::string_view& out) {
        if (bytes_.size() - position_ < count) return false;
        out = bytes_.substr(position_, count);
        position_ += count;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

}  // namespace

bool IsPlainMemberName(std::string_view name) {
    return !name.empty() && name.find('/') == std::string_view::npos &&
           name.find('\\') == std::string_view::npos && name.find("..") == std::string_view::npos;
}

Result<std::string> DeflateMember(std::string_view bytes) {
    z_stream stream{};
    int code = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (code != Z_OK) return Error{"cannot start compressing: " + ZlibMessage(stream, code)};
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    code = deflate(&stream, Z_FINISH);
    const std::size_t produced = stream.total_out;
    const std::string message = ZlibMessage(stream, code);
    deflateEnd(&stream);
    if (code != Z_STREAM_END) return Error{"cannot compress: " + message};
    out.resize(produced);
    return out;
}

Result<std::string> InflateMember(std::string_view compressed) {
    z_stream stream{};
    int code = inflateInit2(&stream, 15);
    if (code != Z_OK) return Error{"cannot start decompressing: " + ZlibMessage(stream, code)};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::string out;
    char block[16384];
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(block);
        stream.avail_out = sizeof block;
        code = inflate(&stream, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END) {
            const std::string message = code == Z_BUF_ERROR
                                            ? std::string("the data ends before the stream does")
                                            : ZlibMessage(stream, code);
            inflateEnd(&stream);
            return Error{"damaged compressed data (" + message + ")"};
        }
        out.append(block, sizeof block - stream.avail_out);
        if (out.size() > kContainerMaxMember) {
            inflateEnd(&stream);
            return Error{"a member is larger than 1 GiB"};
        }
        if (code == Z_STREAM_END) break;
        if (stream.avail_in == 0 && stream.avail_out != 0) {
            inflateEnd(&stream);
            return Error{"damaged compressed data (the data ends before the stream does)"};
        }
    }
    inflateEnd(&stream);
    return out;
}

Result<std::string> WriteContainer(const std::vector<ContainerMember>& members) {
    std::string file;
    for (const ContainerMember& member : members) {
        if (!IsPlainMemberName(member.name))
            return Error{"member name \"" + member.name + "\" is not a plain file name"};
        if (member.name.size() > kContainerMaxText)
            return Error{"member name \"" + member.name + "\" is too long"};
        if (member.directory.size() > kContainerMaxText) return Error{"folder name is longer than 255 bytes"};
        if (member.bytes.size() > kContainerMaxMember)
            return Error{"member \"" + member.name + "\" is too large"};
        Result<std::string> compressed = DeflateMember(member.bytes);
        if (!compressed) return Error{member.name + ": " + compressed.Message()};
        file += static_cast<char>(member.directory.size());
        file += member.directory;
        file += static_cast<char>(member.name.size());
        file += member.name;
        PutInt32(file, static_cast<std::int32_t>(member.bytes.size()));
        PutInt32(file, static_cast<std::int32_t>(compressed->size()));
        file += *compressed;
    }
    return file;
}

Result<std::vector<ContainerMember>> ReadContainer(std::string_view file) {
    std::vector<ContainerMember> members;
    Reader reader(file);
    while (!reader.AtEnd()) {
        const std::size_t entryStart = reader.Position();
        const std::string where =
            "entry " + std::to_string(members.size() + 1) + " (at byte " + std::to_string(entryStart) + ")";
        std::string_view length, directory, name, sizes, data;
        if (!reader.Take(1, length) || !reader.Take(static_cast<unsigned char>(length[0]), directory) ||
            !reader.Take(1, length) || !reader.Take(static_cast<unsigned char>(length[0]), name) ||
            !reader.Take(8, sizes)) {
            return Error{where + " is cut short"};
        }
        if (!IsPlainMemberName(name)) {
            return Error{where + ": member name \"" + std::string(name) + "\" is not a plain file name"};
        }
        const std::int32_t compressedSize = GetInt32(sizes.substr(4));
        if (GetInt32(sizes) < 0 || compressedSize < 0) return Error{where + " has a negative size"};
        if (!reader.Take(static_cast<std::size_t>(compressedSize), data)) {
            return Error{where + " (" + std::string(name) + ") is cut short"};
        }
        Result<std::string> bytes = InflateMember(data);
        if (!bytes) return Error{std::string(name) + ": " + bytes.Message()};
        members.push_back({std::string(directory), std::string(name), std::move(bytes).Value()});
    }
    return members;
}

}  // namespace kinoloop
