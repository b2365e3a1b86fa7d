#include "playback/frame_execution.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include "model/movie.h"
#include "model/node_records.h"
#include "playback/playback_texts.h"
#include "shell/program_folder.h"

namespace kinoloop {

namespace {

std::vector<std::string> SplitLines(const QString& text) {
    std::vector<std::string> lines;
    QString normal = text;
    normal.replace("\r\n", "\n");
    normal.replace('\r', '\n');
    const QStringList parts = normal.split('\n');
    for (const QString& line : parts) lines.push_back(line.toStdString());
    // A file that ends with a line break has no further line.
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

}  // namespace

std::vector<std::string> FrameExecutor::ScriptProgram(const std::string& scriptFileName) {
    QFile file(QString::fromStdString((ScrFolder() / scriptFileName).string()));
    if (scriptFileName.empty() || !file.open(QIODevice::ReadOnly)) return {};
    std::vector<std::string> lines = SplitLines(QString::fromUtf8(file.readAll()));
    if (!lines.empty() && QString::fromStdString(lines.front()).trimmed() == "PROT") {
        lines.erase(lines.begin());
        std::string encoded;
        for (const std::string& line : lines) encoded += line;
        const QByteArray decoded = QByteArray::fromBase64(QByteArray::fromStdString(encoded));
        lines = SplitLines(QString::fromUtf8(decoded));
    }
    return lines;
}

void FrameExecutor::LoadFields(int column, int row) {
    movie_.txtRecords.Load(movie_.FindNodeText(true, column, row));
}

void FrameExecutor::AddDebugRow(const char* action, int row, int frame) {
    if (!modes_.DebugMode || ports_.debug == nullptr) return;
    ports_.debug->AddRow(action, std::string(movie_.strTracks.Cell(0, row)), frame);
    if (ports_.pump != nullptr) ports_.pump->ProcessEvents();
}

FrameOutcome FrameExecutor::CarryOutFrame(int frame, FrameVisit visit) {
    FrameOutcome outcome;
    const bool preview = modes_.QuickPreviewMode || modes_.PreviewMode;
    const bool seek = visit == FrameVisit::Seek;
    for (int row = 0; row < movie_.strTimeline.RowCount(); ++row) {
        const std::string_view code = movie_.strTimeline.Cell(frame, row);
        if (code.empty() || row == 0) continue;  // row 0 holds frame numbers
        if (seek && code.front() != 'C') continue;
        switch (code.front()) {
            case 'C':
                LoadFields(frame, row);
                if (preview && ports_.packets != nullptr) ports_.packets->SendCameraPacket(movie_.txtRecords);
                AddDebugRow(playback_text::kActionCamera, row, frame);
                break;
            case 'S':
                LoadFields(frame, row);
                // A script node reached while an earlier script waits in a pause is skipped: handing the
                // interpreter a new program under a suspended one would pull its text away mid-run.
                if (preview && ports_.scripts != nullptr && !ports_.scripts->Running()) {
                    const std::string name = movie_.txtRecords.Line(field::ScriptName);
                    ports_.scripts->Run(ScriptProgram(name));
                }
                AddDebugRow(playback_text::kActionScript, row, frame);
                break;
            case 'T':
                LoadFields(frame, row);
                if (modes_.PreviewMode) {
                    // A render that records no sound keeps its sound nodes silent; the rest of the column is
                    // still carried out, so that a camera below a silent sound node still changes the shot.
                    if (modes_.Rendering && !modes_.RecordAudio) break;
                    if (ports_.sound != nullptr) ports_.sound->StartSoundNode(movie_.txtRecords.FieldText());
                }
                AddDebugRow(playback_text::kActionSound, row, frame);
                break;
            case 'X':
                outcome.stopReached = true;
                AddDebugRow(playback_text::kActionStop, row, frame);
                break;
            case 'E':
            case 'e':
                AddDebugRow(playback_text::kActionEffect, row, frame);
                break;
            case 'G':
                AddDebugRow(playback_text::kActionStart, row, frame);
                break;
            case 'H':
                AddDebugRow(playback_text::kActionHotMoment, row, frame);
                break;
            case 'M':
                AddDebugRow(playback_text::kActionTimeMarker, row, frame);
                break;
            default:
                continue;
        }
        ++outcome.nodesCarriedOut;
    }
    return outcome;
}

}  // namespace kinoloop
