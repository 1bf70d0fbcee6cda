#pragma once

// TDecoderLog: where the sound libraries' messages go.

#include <QString>

#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

// Where libopenmpt and SDL write what they have to say, instead of the
// terminal.  Decoders write from the audio callback while another one loads
// on the user-interface thread, so each decoder gets a stream of its own on
// one guarded buffer; only the newest part of the text is kept.
class TDecoderLog : private std::streambuf
{
public:
    TDecoderLog() = default;
    TDecoderLog(const TDecoderLog &) = delete;
    TDecoderLog &operator=(const TDecoderLog &) = delete;

    // A stream for one decoder; it must outlive the decoder.
    std::unique_ptr<std::ostream> NewStream()
    {
        return std::make_unique<std::ostream>(static_cast<std::streambuf *>(this));
    }
    void AddLine(const char *line);
    QString Text() const;

private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *text, std::streamsize count) override;
    void Append(const char *text, std::size_t count);

    static constexpr std::size_t Kept = 8192;
    mutable std::mutex Guard;
    std::string Buffer;
};
