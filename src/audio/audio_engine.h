#pragma once
// `TAudioEngine` plays one sound at a time from a file (stream or tracker formats), tells the length of a
// sound file without playing it and notices the end of a sound. `TAudioObject` adds the playlist that the
// sound nodes fill and look their files up in. One object lives for the program's life.
#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "audio/playlist.h"
#include "audio/sound_nodes.h"

namespace kinoloop {

class SoundChannel;

class TAudioEngine : public QObject, public SoundFileMeasure {
    Q_OBJECT
public:
    static constexpr int kStopped = 1001;
    static constexpr int kPlaying = 1002;
    static constexpr int kEnded = 1004;
    static constexpr int kEndMarginMs = 50;  // a sound this close to its end counts as ended

    explicit TAudioEngine(QObject* parent = nullptr);
    ~TAudioEngine() override;

    virtual std::string FileFilter() const;

    // (Re)opens the sound output; device -1 is the default one. Without a sound server the output falls back
    // to a silent one, so that playing, measuring and the end timer go on working.
    void Init(int device);
    // Clamped to 150..2000 ms and kept; the output buffer itself stays short (see docs/audio.md).
    int SetBufferLength(int ms);

    // Starts the file or internet address; a sound already playing is cut off. False when nothing plays.
    bool Play(const std::string& name);
    // Internet streams need a streaming decoder that this build does not have: always false, and any sound
    // that was playing has been stopped.
    bool PlayAddress(const std::string& address);
    void Stop();
    int PositionMs();
    int LengthMs() const;
    int FileLengthMs(const std::string& path) override;
    static bool IsKnownSoundFile(const std::string& path);
    const std::string& CurrentFile() const { return fileName_; }

    int State() const { return state_; }
    int Frequency() const { return frequency_; }
    int Device() const { return device_; }
    int BufferLengthMs() const { return bufferMs_; }
    // Whether a real output device is open, and SDL's name for its driver ("pulseaudio", "dummy", ...).
    bool HasOutputDevice() const { return outputOpen_ && !silentOutput_; }
    std::string OutputDriver() const;

signals:
    // The end timer noticed that the sound reached its end (the state is now 1004); the position it had then.
    void SoundEnded(int positionMs);

private:
    void EndTimerTick();
    void FreeChannel();
    void CloseOutput();

    std::unique_ptr<SoundChannel> channel_;
    int frequency_ = 44100;
    int device_ = -1;
    int state_ = kStopped;
    int lengthMs_ = 0;
    int bufferMs_ = 500;
    std::string fileName_;
    std::string saveFile_;  // where an internet stream would also be saved; always empty
    bool outputOpen_ = false;
    bool silentOutput_ = false;
    QTimer endTimer_;
};

class TAudioObject : public TAudioEngine {
    Q_OBJECT
public:
    explicit TAudioObject(QObject* parent = nullptr) : TAudioEngine(parent) {}

    std::string FileFilter() const override;

    // Addresses and sound files join the playlist; anything else is read as a playlist file.
    void AddItem(const std::string& path, const std::string& title);
    // ".pls" and ".m3u" (any case) are read; other files are ignored. False when nothing could be read.
    bool LoadPlaylistFile(const std::string& path, bool clear);
    void ClearItems() { playlist_.Clear(); }
    int ItemCount() const { return playlist_.Count(); }
    int FindItem(const std::string& path) const { return playlist_.IndexOf(path); }
    // Plays item i when 0 <= i < ItemCount(); otherwise nothing happens.
    void PlayItem(int index);
    int LastItem() const { return lastItem_; }
    const TPlaylist& Playlist() const { return playlist_; }

private:
    TPlaylist playlist_;
    int lastItem_ = -1;
};

}  // namespace kinoloop
