#pragma once

// ShowMessage: the one way the program shows a message box.

#include <QString>
#include <functional>

// Every message box of the program goes through ShowMessage.  The windows
// install a handler that shows a real modal box; tests install a recorder so
// that nothing ever waits for a person.
enum class TMsgType { mtWarning, mtError, mtInformation };

using TMessageHandler = std::function<void(TMsgType type, const QString &text)>;

// Shows a modal box with one OK button through the installed handler.
void ShowMessage(TMsgType type, const QString &text);

// Installs a handler and returns the one it replaces.  An empty handler
// restores the default, which writes the text to standard error.
TMessageHandler SetMessageHandler(TMessageHandler handler);

// A question the player answers with Yes or No, through the same place as
// the messages: true for Yes.  The windows install a handler that shows a
// real modal box; tests install one that records the question and answers
// it.  The default answers No and writes the text to standard error, so
// that nothing is ever done unasked.
using TQuestionHandler = std::function<bool(const QString &text)>;
bool AskQuestion(const QString &text);
// Installs a question handler and returns the one it replaces; an empty one
// restores the default.
TQuestionHandler SetQuestionHandler(TQuestionHandler handler);

// The caption a box of this type carries ("Warning", "Error", "Information").
QString MessageCaption(TMsgType type);
