#pragma once
// The program's only two ways of telling the user things besides the status line. Every subsystem that asks or
// informs goes through this interface, so that tests can answer from a script and the engine needs no widgets.
#include <cstdint>
#include <string>

namespace kinoloop {

inline constexpr const char* kProductName = "Kinoloop";    // every message box's caption
inline constexpr const char* kBalloonTitle = "Kinoloop 2";  // every balloon's title but the help texts

// Message-box picture letters and button-set letters; answers are 'Y', 'N', 'O' or 'C'.
namespace icon {
inline constexpr char Information = 'I';
inline constexpr char Exclamation = 'X';
inline constexpr char Error = 'E';
}  // namespace icon
namespace buttons {
inline constexpr char Ok = 'O';        // answers 'O'
inline constexpr char YesNo = 'Y';     // answers 'Y' or 'N'
inline constexpr char OkCancel = 'C';  // answers 'O' or 'C'
}  // namespace buttons

// Balloon kinds and the display times the program uses.
enum class BalloonKind : std::uint8_t { Error = 1, Information = 2 };
inline constexpr int kBalloonShortMs = 5000;
inline constexpr int kBalloonLongMs = 10000;

class Notices {
public:
    virtual ~Notices() = default;

    // Waits for the answer while the rest of the program keeps running; returns the answer letter.
    virtual char ShowMsgBox(char icon, char buttons, const std::string& caption, const std::string& text) = 0;

    // Returns at once; a new balloon replaces the one showing.
    virtual void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind,
                             int displayMs) = 0;

    // The common shapes of the two calls.
    void Inform(const std::string& text) { ShowMsgBox(icon::Information, buttons::Ok, kProductName, text); }
    void Refuse(const std::string& text) { ShowMsgBox(icon::Exclamation, buttons::Ok, kProductName, text); }
    bool AskYes(const std::string& text) {
        return ShowMsgBox(icon::Information, buttons::YesNo, kProductName, text) == 'Y';
    }
    void Progress(const std::string& text) {
        ShowBalloon(kBalloonTitle, text, BalloonKind::Information, kBalloonShortMs);
    }
};

}  // namespace kinoloop
