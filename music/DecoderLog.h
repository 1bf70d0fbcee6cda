#pragma once

#include <QString>

#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

// Where libopenmpt writes what it has to say, instead of the terminal.
// The decoder may write from the audio callback while the user-interface
// thread reads, so the text is guarded; only its newest part is kept.
class TDecoderLog : private std::streambuf
{
public:
    TDecoderLog() : Out(this) {}
    TDecoderLog(const TDecoderLog &) = delete;
    TDecoderLog &operator=(const TDecoderLog &) = delete;

    std::ostream &Stream() { return Out; }
    QString Text() const;

private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char *text, std::streamsize count) override;
    void Append(const char *text, std::size_t count);

    static constexpr std::size_t Kept = 8192;
    mutable std::mutex Guard;
    std::string Buffer;
    std::ostream Out;
};
