#pragma once

#include "base/MessageBox.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Records every message box shown while it lives, instead of showing it.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        previous_ = SetMessageHandler([this](TMsgType type, const QString &text) {
            boxes.append({type, text});
        });
        previousQuestion_ = SetQuestionHandler([this](const QString &text) {
            questions.append(text);
            return answer;
        });
    }
    ~MessageRecorder()
    {
        SetMessageHandler(previous_);
        SetQuestionHandler(previousQuestion_);
    }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList texts() const
    {
        QStringList result;
        for (const auto &box : boxes)
            result << box.second;
        return result;
    }

    QList<QPair<TMsgType, QString>> boxes;
    // Questions asked, and the answer each gets.
    QStringList questions;
    bool answer = false;

private:
    TMessageHandler previous_;
    TQuestionHandler previousQuestion_;
};
