#pragma once
// `TfrmHotMoments` ("Hot Moment Scan"): the window that owns the hot-moment recorder. The link hands it the
// cars and players of a scan; the timeline's conversions read the recorder's samples.
#include <QDialog>

#include "hotmoments/moments.h"
#include "hotmoments/recorder_sink.h"

namespace kinoloop {

class TfrmHotMoments : public QDialog {
    Q_OBJECT
public:
    explicit TfrmHotMoments(QWidget* parent = nullptr);

    // The recorder, created with the window and kept for the program's life.
    TMoments& moments() { return moments_; }
    // The link's car-data port: records go into the recorder unchanged.
    CarDataSink& recorder() { return sink_; }

private:
    TMoments moments_;
    RecorderSink sink_{moments_};
};

}  // namespace kinoloop
