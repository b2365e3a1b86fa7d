#pragma once
// `TPlaylist`: the paths or internet addresses the program plays and looks up by path, with their titles and
// lengths, read from .pls and .m3u files or added one by one.
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

// Resolves one playlist entry against the playlist file it came from. Addresses stay as they are. A playlist
// with a drive in its path ("C:\lists\my.pls") resolves Windows-style: "\music\a.mp3" takes the drive,
// "D:\a.mp3" stays, anything else is taken relative to the playlist's folder. A Linux playlist resolves the
// same entries against its folder and the root, turning "\" into "/".
std::string ResolvePlaylistEntry(std::string_view entry, std::string_view basePath);

class TPlaylist {
public:
    // Appends an item; its length is "0".
    void Add(const std::string& path, const std::string& title);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // The i-th path; "" outside 0..Count()-1.
    std::string Item(int index) const;
    std::string Title(int index) const;
    std::string Length(int index) const;
    // First item equal to the path without regard to case; -1 when none.
    int IndexOf(std::string_view path) const;

    // Read a playlist file, appending its entries (after emptying the list when clear is set). False when the
    // file cannot be read; the list then stays as it was apart from the clearing.
    bool ReadPls(const std::string& file, bool clear);
    bool ReadM3u(const std::string& file, bool clear);

    const std::string& BasePath() const { return basePath_; }
    const std::vector<std::string>& Items() const { return items_; }

private:
    void Append(std::string item, std::string title, std::string length);

    std::vector<std::string> items_;
    std::vector<std::string> titles_;
    std::vector<std::string> lengths_;
    std::string basePath_;
};

}  // namespace kinoloop
