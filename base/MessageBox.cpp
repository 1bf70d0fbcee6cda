#include "base/MessageBox.h"

#include <cstdio>

namespace
{

void WriteToStandardError(TMsgType type, const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(MessageCaption(type)), qPrintable(text));
}

TMessageHandler &CurrentHandler()
{
    static TMessageHandler handler = WriteToStandardError;
    return handler;
}

bool AnswerNo(const QString &text)
{
    std::fprintf(stderr, "Question (answered No): %s\n", qPrintable(text));
    return false;
}

TQuestionHandler &CurrentQuestionHandler()
{
    static TQuestionHandler handler = AnswerNo;
    return handler;
}

} // namespace

bool AskQuestion(const QString &text)
{
    return CurrentQuestionHandler()(text);
}

TQuestionHandler SetQuestionHandler(TQuestionHandler handler)
{
    TQuestionHandler previous = CurrentQuestionHandler();
    CurrentQuestionHandler() = handler ? std::move(handler) : TQuestionHandler(AnswerNo);
    return previous;
}

void ShowMessage(TMsgType type, const QString &text)
{
    CurrentHandler()(type, text);
}

TMessageHandler SetMessageHandler(TMessageHandler handler)
{
    TMessageHandler previous = CurrentHandler();
    CurrentHandler() = handler ? std::move(handler) : TMessageHandler(WriteToStandardError);
    return previous;
}

QString MessageCaption(TMsgType type)
{
    switch (type) {
    case TMsgType::mtWarning:
        return QStringLiteral("Warning");
    case TMsgType::mtError:
        return QStringLiteral("Error");
    case TMsgType::mtInformation:
        break;
    }
    return QStringLiteral("Information");
}
