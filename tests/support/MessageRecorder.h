#pragma once

#include "base/MessageBox.h"

#include <QList>
#include <QPair>
#include <QString>

// Records every message box shown while it lives, instead of showing it.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        previous_ = SetMessageHandler([this](TMsgType type, const QString &text) {
            boxes.append({type, text});
        });
    }
    ~MessageRecorder() { SetMessageHandler(previous_); }
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

private:
    TMessageHandler previous_;
};
