#pragma once
// A ten-minute movie at 25 fps with 20 tracks and 2000 nodes, as benchmarks use it.
#include "model/movie.h"
#include "model/node_records.h"

namespace kinoloop::bench {

inline Movie TenMinuteMovie(int tracks = 20, int nodes = 2000) {
    Movie movie;
    movie.ResetTimeline(600, 25);
    for (int row = 2; row <= tracks; ++row) {
        movie.strTimeline.SetRowCount(row + 1);
        movie.strTracks.InsertRow(row, {"Track " + std::to_string(row), "", ""});
    }
    const int perTrack = nodes / tracks;
    const int spacing = (movie.strTimeline.ColumnCount() - 5) / perTrack;
    for (int row = 1; row <= tracks; ++row) {
        for (int i = 0; i < perTrack; ++i) {
            movie.SelCol = i * spacing;
            movie.SelRow = row;
            CameraNode camera;
            camera.length = 5;
            camera.x = 65536 * i;
            camera.fieldOfView = 72.5f;
            camera.time = 5;
            movie.AddCameraRecord(camera);
            movie.nodeStore.MutableRecords().back().note = i % 10 == 0 ? "a note?on two lines" : "";
            movie.strTimeline.SetCell(movie.SelCol, row, i % 10 == 0 ? "Cn" : "C");
            for (int c = 1; c < 5; ++c) movie.strTimeline.SetCell(movie.SelCol + c, row, "c");
        }
    }
    return movie;
}

}  // namespace kinoloop::bench
