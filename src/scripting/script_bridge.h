#pragma once
// The script host bridge: the "COM_" functions and the "_camera_", "_outsim_", "_current_" and "_fps" values
// that scripts use to drive the simulator. Names are matched without regard to case.
#include <QTimer>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scripting/pascal/host.h"
#include "scripting/script_simulator.h"

namespace kinoloop {

// One entry of the bridge's names, for the completion list and the documentation.
struct HostNameInfo {
    const char* name;
    const char* description;
    bool assignable;
    bool function;
};
std::span<const HostNameInfo> HostNames();

class ScriptBridge : public pascal::ScriptHost {
public:
    explicit ScriptBridge(ScriptSimulator& simulator);
    ~ScriptBridge() override;

    bool ScriptGetValue(std::string_view name, std::span<const pascal::Value> args,
                        pascal::Value& result) override;
    bool ScriptSetValue(std::string_view name, const pascal::Value& value) override;

    // Hundredths a script has stepped the simulator by since the timeline last advanced.
    float StepRemainder() const { return StepRemainder_; }

    // True while a script waits in "COM_pause".
    bool Pausing() const { return pausing_; }
    // Ends a running "COM_pause" at once (a stop of the script must not wait for a long pause).
    void EndPause();

private:
    void StepTime(int hundredths);
    void Pause(std::int64_t milliseconds);

    ScriptSimulator& sim_;
    float StepRemainder_ = 0;  // single precision, as the frame arithmetic is
    QTimer tmrPause;
    bool pausing_ = false;
    bool pauseEnded_ = false;
};

}  // namespace kinoloop
