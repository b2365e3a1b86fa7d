#include "link_fakes.h"

#include <cstring>
#include <fstream>

namespace kinoloop::testing {

std::vector<std::string> RecordingSender::Lines() const {
    std::vector<std::string> lines;
    for (const Datagram& d : sent) {
        const std::string tag = ReadText(d, 0, 4);
        if (tag == "SCH") {
            lines.push_back("SCH " + std::string(1, static_cast<char>(d[4])) + " " + std::to_string(d[5]));
        } else if (tag == "MST") {
            lines.push_back("MST " + ReadText(d, 4, 64));
        } else if (tag == "CPP") {
            lines.push_back("CPP flags=" + std::to_string(ReadWord(d, 30)));
        } else if (tag == "ISI") {
            lines.push_back("ISI " + std::to_string(ReadWord(d, 4)));
        } else {
            lines.push_back(tag + " " + std::to_string(ReadInt(d, 4)));
        }
    }
    return lines;
}

Datagram Tagged(const std::string& tag, std::size_t size) {
    Datagram d(size, 0);
    std::memcpy(d.data(), tag.data(), std::min(tag.size(), size));
    return d;
}

Datagram StatePacket(std::uint16_t flags) {
    Datagram d = Tagged("STA", packet::kStaSize);
    WriteWord(d, packet::sta::Flags, flags);
    return d;
}

void WriteReplayFile(const std::filesystem::path& file, std::size_t trackOffset, const std::string& track,
                     std::size_t size) {
    std::filesystem::create_directories(file.parent_path());
    std::string bytes(size, 'z');
    for (std::size_t i = 0; i < 32 && trackOffset + i < size; ++i) {
        bytes[trackOffset + i] = i < track.size() ? track[i] : '\0';
    }
    std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace kinoloop::testing
