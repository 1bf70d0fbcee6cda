#include "sound/DecoderLog.h"

QString TDecoderLog::Text() const
{
    std::lock_guard<std::mutex> lock(Guard);
    return QString::fromUtf8(Buffer.data(), static_cast<qsizetype>(Buffer.size()));
}

TDecoderLog::int_type TDecoderLog::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    Append(&byte, 1);
    return c;
}

std::streamsize TDecoderLog::xsputn(const char *text, std::streamsize count)
{
    Append(text, static_cast<std::size_t>(count));
    return count;
}

void TDecoderLog::Append(const char *text, std::size_t count)
{
    std::lock_guard<std::mutex> lock(Guard);
    Buffer.append(text, count);
    if (Buffer.size() > Kept)
        Buffer.erase(0, Buffer.size() - Kept);
}

void TDecoderLog::AddLine(const char *line)
{
    const std::string text = std::string(line ? line : "") + '\n';
    Append(text.data(), text.size());
}
