#pragma once

#include <QString>

#include <functional>

// Receives the failure of a command, to show it to the user.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;
    virtual void showError(const QString& message) = 0;
};

// Every command handler runs through here: a failure is shown in the error dialog and never
// travels on into Qt's event loop.
namespace CommandGuard {

void setReporter(ErrorReporter* reporter);
ErrorReporter* reporter();

// Runs the handler; false when it failed (the failure has then been shown).
bool run(const std::function<void()>& handler);

} // namespace CommandGuard
