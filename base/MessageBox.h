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

// The caption a box of this type carries ("Warning", "Error", "Information").
QString MessageCaption(TMsgType type);
