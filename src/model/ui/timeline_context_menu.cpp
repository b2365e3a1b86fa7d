#include "model/ui/timeline_context_menu.h"

namespace kinoloop {
namespace {

QAction* Item(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QMenu* SubMenu(QMenu* menu, const char* name, const char* caption) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(name);
    sub->menuAction()->setObjectName(QString(name) + "Action");
    return sub;
}

// The entries of one "Convert ... to..." menu; `suffix` keeps the two menus' object names apart.
ConvertMenuItems ConvertEntries(QMenu* menu, const QString& suffix) {
    ConvertMenuItems items;
    const auto sub = [&](const char* name, const char* caption) {
        QMenu* inner = menu->addMenu(caption);
        inner->setObjectName(name + suffix);
        inner->menuAction()->setObjectName(name + suffix + "Action");
        return inner;
    };
    const auto entry = [&](QMenu* inner, const char* name, const char* caption, ConvertMenuTarget target) {
        QAction* action = inner->addAction(caption);
        action->setObjectName(name + suffix);
        action->setData(static_cast<int>(target));
        items.targets[static_cast<std::size_t>(target)] = action;
    };
    items.DefaultLFSCamera = sub("DefaultLFSCamera", "Default LFS Camera...");
    entry(items.DefaultLFSCamera, "ArcadeCamera", "...Arcade Camera", ConvertMenuTarget::Arcade);
    entry(items.DefaultLFSCamera, "HelicopterCamera", "...Helicopter Camera", ConvertMenuTarget::Helicopter);
    entry(items.DefaultLFSCamera, "TVCamera", "...TV Camera", ConvertMenuTarget::TvCamera);
    entry(items.DefaultLFSCamera, "DriverCamera", "...Driver Camera", ConvertMenuTarget::Driver);
    entry(items.DefaultLFSCamera, "CustomCamera", "...Custom Camera", ConvertMenuTarget::Custom);
    items.ShiftUTrackingCamera = sub("ShiftUTrackingCamera", "Shift+U Tracking Camera...");
    entry(items.ShiftUTrackingCamera, "FollowCar", "...Follow Car", ConvertMenuTarget::TrackingFollow);
    entry(items.ShiftUTrackingCamera, "StaticCamera", "...Static Camera", ConvertMenuTarget::TrackingStatic);
    return items;
}

}  // namespace

TimelineContextMenu::TimelineContextMenu(QWidget* parent) : QMenu(parent) {
    setObjectName("PopupMenu1");
    Edit1 = SubMenu(this, "Edit1", "Edit");
    Cut1 = Item(Edit1, "Cut1", "Cut");
    Cut1->setShortcut(QKeySequence("Ctrl+Alt+X"));
    Copy1 = Item(Edit1, "Copy1", "Copy");
    Copy1->setShortcut(QKeySequence("Ctrl+Alt+C"));
    Paste1 = Item(Edit1, "Paste1", "Paste");
    Paste1->setShortcut(QKeySequence("Ctrl+Alt+V"));
    addSeparator();
    AddReplay1 = Item(this, "AddReplay1", "Add Replay");
    AddCamera1 = Item(this, "AddCamera1", "Add Camera");
    AddScript1 = Item(this, "AddScript1", "Add Script");
    AddEffect1 = Item(this, "AddEffect1", "Add Effect");
    AddSound1 = Item(this, "AddSound1", "Add Sound File");
    AddReplayStart1 = Item(this, "AddReplayStart1", "Add Replay Start");
    AddMovieStop1 = Item(this, "AddMovieStop1", "Add Replay Stop");
    AddNote1 = Item(this, "AddNote1", "Add Note");
    AddTimeMarker1 = Item(this, "AddTimeMarker1", "Add Time Marker");
    addSeparator();
    AddShiftUCameraStartMarker1 = Item(this, "AddShiftUCameraStartMarker1", "Add Camera Start Marker");
    AddShiftUCameraEndMarker1 = Item(this, "AddShiftUCameraEndMarker1", "Add Camera End Marker");
    addSeparator();
    ConvertHotmomentto1 = SubMenu(this, "ConvertHotmomentto1", "Convert Selected Hot Moment to...");
    ConvertAllCamerasto1 = SubMenu(this, "ConvertAllCamerasto1", "Convert All Hot Moments to...");
    ConvertSelectedItems = ConvertEntries(ConvertHotmomentto1, "1");
    ConvertAllItems = ConvertEntries(ConvertAllCamerasto1, "2");
    Distrubute1 = SubMenu(this, "Distrubute1", "Distribute Node");
    DistributeOverSelectedRange1 = Item(Distrubute1, "DistributeOverSelectedRange1", "Distribute Over Selected Range");
    DistributetoEndorNextNode1 =
        Item(Distrubute1, "DistributetoEndorNextNode1", "Distribute to End or Next Node (Effects Only)");
    Delete1 = Item(this, "Delete1", "Delete");
    Delete1->setShortcut(QKeySequence(Qt::Key_Delete));
    addSeparator();
    MoveLFSHere1 = SubMenu(this, "MoveLFSHere1", "Move LFS Here And...");
    MoveLFSHereAndPlay1 = Item(MoveLFSHere1, "MoveLFSHereAndPlay1", "...Play");
    MoveLFSHereAndPause1 = Item(MoveLFSHere1, "MoveLFSHereAndPause1", "...Pause");
}

void TimelineContextMenu::ApplyLock(bool selectedTrackLocked) {
    const bool enabled = !selectedTrackLocked;
    for (QAction* action :
         {Edit1->menuAction(), AddReplay1, AddCamera1, AddScript1, AddEffect1, AddSound1, AddReplayStart1,
          AddMovieStop1, AddNote1, AddTimeMarker1, AddShiftUCameraStartMarker1, AddShiftUCameraEndMarker1,
          ConvertHotmomentto1->menuAction(), ConvertAllCamerasto1->menuAction(), Distrubute1->menuAction(),
          Delete1}) {
        action->setEnabled(enabled);
    }
}

}  // namespace kinoloop
