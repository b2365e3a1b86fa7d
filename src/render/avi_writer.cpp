#include "render/avi_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

#include <string>

#include "render/frame_image.h"

namespace kinoloop {

namespace {

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

SoundTrackReader::~SoundTrackReader() {
    if (input_ != nullptr) avformat_close_input(&input_);
}

render::Status SoundTrackReader::Open(const std::filesystem::path& file) {
    if (input_ != nullptr) avformat_close_input(&input_);
    int result = avformat_open_input(&input_, file.c_str(), nullptr, nullptr);
    if (result < 0) return render::Failure{"cannot open " + file.string() + ": " + AvError(result)};
    result = avformat_find_stream_info(input_, nullptr);
    if (result < 0) return render::Failure{"cannot read " + file.string() + ": " + AvError(result)};
    stream_ = av_find_best_stream(input_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    return render::Ok();
}

render::Status SoundTrackReader::CheckStream() const {
    if (input_ == nullptr || stream_ < 0) return render::Failure{"the sound track holds no sound stream"};
    const AVCodecParameters* parameters = input_->streams[stream_]->codecpar;
    const AVCodecDescriptor* codec = avcodec_descriptor_get(parameters->codec_id);
    // Only PCM is copied: the film stays uncompressed and every AVI reader plays it.
    if (codec == nullptr || std::string(codec->name).rfind("pcm_", 0) != 0 || parameters->block_align <= 0) {
        return render::Failure{"the sound track is not PCM sound"};
    }
    return render::Ok();
}

AviWriter::~AviWriter() {
    Close();
}

void AviWriter::Close() {
    if (output_ != nullptr) {
        if (output_->pb != nullptr) avio_closep(&output_->pb);
        avformat_free_context(output_);
        output_ = nullptr;
    }
    av_packet_free(&packet_);
}

render::Status AviWriter::Create(const std::filesystem::path& file, const AviVideoFormat& format,
                                 SoundTrackReader* sound) {
    Close();
    format_ = format;
    frames_ = 0;
    packet_ = av_packet_alloc();
    int result = avformat_alloc_output_context2(&output_, nullptr, "avi", file.c_str());
    if (result < 0 || packet_ == nullptr) {
        return render::Failure{"cannot prepare an AVI file: " + AvError(result)};
    }

    AVStream* video = avformat_new_stream(output_, nullptr);
    if (video == nullptr) return render::Failure{"cannot add the video stream"};
    videoStream_ = video->index;
    AVCodecParameters* v = video->codecpar;
    v->codec_type = AVMEDIA_TYPE_VIDEO;
    v->codec_id = AV_CODEC_ID_RAWVIDEO;
    v->codec_tag = 0;
    v->format = AV_PIX_FMT_BGR24;
    v->width = format.width;
    v->height = format.height;
    v->bits_per_coded_sample = 24;
    video->time_base = AVRational{1, format.framesPerSecond};
    video->avg_frame_rate = AVRational{format.framesPerSecond, 1};
    video->r_frame_rate = video->avg_frame_rate;

    sound_ = sound;
    soundStream_ = -1;
    soundDone_ = true;
    pendingSound_ = false;
    if (sound_ != nullptr) {
        AVStream* audio = avformat_new_stream(output_, nullptr);
        if (audio == nullptr) return render::Failure{"cannot add the sound stream"};
        const AVStream* in = sound_->input_->streams[sound_->stream_];
        result = avcodec_parameters_copy(audio->codecpar, in->codecpar);
        if (result < 0) return render::Failure{"cannot copy the sound stream: " + AvError(result)};
        audio->codecpar->codec_tag = 0;
        audio->time_base = AVRational{1, in->codecpar->sample_rate > 0 ? in->codecpar->sample_rate : 1};
        soundStream_ = audio->index;
        soundDone_ = false;
    }

    result = avio_open(&output_->pb, file.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) return render::Failure{"cannot create " + file.string() + ": " + AvError(result)};
    AVDictionary* options = nullptr;
    // The rows stay bottom-up as captured: the header then carries a positive height.
    av_dict_set(&options, "flipped_raw_rgb", "1", 0);
    result = avformat_write_header(output_, &options);
    av_dict_free(&options);
    if (result < 0) return render::Failure{"cannot write the AVI header: " + AvError(result)};
    return render::Ok();
}

render::Status AviWriter::WriteSoundUntil(double seconds) {
    if (soundDone_) return render::Ok();
    const AVStream* in = sound_->input_->streams[sound_->stream_];
    AVStream* out = output_->streams[soundStream_];
    for (;;) {
        if (!pendingSound_) {
            const int read = av_read_frame(sound_->input_, packet_);
            if (read < 0) {  // the end of the sound track (a damaged tail ends it too)
                soundDone_ = true;
                return render::Ok();
            }
            if (packet_->stream_index != sound_->stream_) {
                av_packet_unref(packet_);
                continue;
            }
            pendingSound_ = true;
        }
        if (packet_->pts != AV_NOPTS_VALUE && packet_->pts * av_q2d(in->time_base) >= seconds) {
            return render::Ok();
        }
        av_packet_rescale_ts(packet_, in->time_base, out->time_base);
        packet_->stream_index = soundStream_;
        packet_->pos = -1;
        const int result = av_write_frame(output_, packet_);
        av_packet_unref(packet_);
        pendingSound_ = false;
        if (result < 0) return render::Failure{"cannot write the sound: " + AvError(result)};
    }
}

render::Status AviWriter::WriteFrame(std::span<const std::uint8_t> pixels) {
    if (output_ == nullptr) return render::Failure{"the film file is not open"};
    const std::size_t expected = static_cast<std::size_t>(FrameImage::StrideFor(format_.width)) *
                                 static_cast<std::size_t>(format_.height);
    if (pixels.size() != expected) return render::Failure{"the frame's pixels do not match the film's size"};
    render::Status sound = WriteSoundUntil(static_cast<double>(frames_ + 1) / format_.framesPerSecond);
    if (!sound) return sound;

    AVPacket* frame = av_packet_alloc();
    if (frame == nullptr) return render::Failure{"out of memory"};
    // The muxer writes the bytes at once (no interleaving queue), so the packet may point at our buffer.
    frame->data = const_cast<std::uint8_t*>(pixels.data());
    frame->size = static_cast<int>(pixels.size());
    frame->stream_index = videoStream_;
    frame->pts = frame->dts = av_rescale_q(frames_, AVRational{1, format_.framesPerSecond},
                                           output_->streams[videoStream_]->time_base);
    frame->duration =
        av_rescale_q(1, AVRational{1, format_.framesPerSecond}, output_->streams[videoStream_]->time_base);
    frame->flags = AV_PKT_FLAG_KEY;
    const int result = av_write_frame(output_, frame);
    av_packet_free(&frame);
    if (result < 0)
        return render::Failure{"cannot write frame " + std::to_string(frames_ + 1) + ": " + AvError(result)};
    if (output_->pb->error < 0)
        return render::Failure{"cannot write the film: " + AvError(output_->pb->error)};
    ++frames_;
    return render::Ok();
}

render::Status AviWriter::Finish() {
    if (output_ == nullptr) return render::Failure{"the film file is not open"};
    render::Status sound = WriteSoundUntil(1e300);
    int result = av_write_trailer(output_);
    const int ioError = output_->pb->error;
    const int closed = avio_closep(&output_->pb);
    Close();
    if (!sound) return sound;
    if (result < 0) return render::Failure{"cannot finish the AVI file: " + AvError(result)};
    if (ioError < 0) return render::Failure{"cannot write the AVI file: " + AvError(ioError)};
    if (closed < 0) return render::Failure{"cannot close the AVI file: " + AvError(closed)};
    return render::Ok();
}

}  // namespace kinoloop
