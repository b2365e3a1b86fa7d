#pragma once
// `PopupMenu1`: the timeline's context menu with its items in menu order. The window connects the actions to
// the commands; this class only builds the menu and applies the lock rule.
#include <QMenu>
#include <array>

namespace kinoloop {

// The camera kinds a hot-moment node can become, in menu order; each entry's data() is its index here.
enum class ConvertMenuTarget : int {
    Arcade = 0,
    Helicopter = 1,
    TvCamera = 2,
    Driver = 3,
    Custom = 4,
    TrackingFollow = 5,
    TrackingStatic = 6,
};
inline constexpr int kConvertMenuTargets = 7;

// "Default LFS Camera..." with the simulator's five camera kinds and "Shift+U Tracking Camera..." with its two.
struct ConvertMenuItems {
    QMenu* DefaultLFSCamera = nullptr;
    QMenu* ShiftUTrackingCamera = nullptr;
    std::array<QAction*, kConvertMenuTargets> targets{};  // by ConvertMenuTarget
};

class TimelineContextMenu : public QMenu {
    Q_OBJECT
public:
    explicit TimelineContextMenu(QWidget* parent = nullptr);

    // Items 0, 2 to 10, 12, 13 and 15 to 18 are disabled while the selected track is locked; separators and
    // "Move LFS Here And..." never change.
    void ApplyLock(bool selectedTrackLocked);

    QMenu* Edit1;
    QAction* Cut1;
    QAction* Copy1;
    QAction* Paste1;
    QAction* AddReplay1;
    QAction* AddCamera1;
    QAction* AddScript1;
    QAction* AddEffect1;
    QAction* AddSound1;
    QAction* AddReplayStart1;
    QAction* AddMovieStop1;
    QAction* AddNote1;
    QAction* AddTimeMarker1;
    QAction* AddShiftUCameraStartMarker1;
    QAction* AddShiftUCameraEndMarker1;
    QMenu* ConvertHotmomentto1;
    QMenu* ConvertAllCamerasto1;
    ConvertMenuItems ConvertSelectedItems;  // in ConvertHotmomentto1
    ConvertMenuItems ConvertAllItems;       // in ConvertAllCamerasto1
    QMenu* Distrubute1;
    QAction* DistributeOverSelectedRange1;
    QAction* DistributetoEndorNextNode1;
    QAction* Delete1;
    QMenu* MoveLFSHere1;
    QAction* MoveLFSHereAndPlay1;
    QAction* MoveLFSHereAndPause1;

    // The actions whose shortcuts work while the menu is closed (the window adds them to itself).
    QList<QAction*> ShortcutActions() const { return {Cut1, Copy1, Paste1, Delete1}; }
};

}  // namespace kinoloop
