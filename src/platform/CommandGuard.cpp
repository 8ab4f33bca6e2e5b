#include "platform/CommandGuard.h"

#include "platform/OrdnixError.h"

#include <QDebug>

#include <exception>

namespace {
ErrorReporter* g_reporter = nullptr;

void report(const QString& message)
{
    if (g_reporter)
        g_reporter->showError(message);
    else
        qWarning().noquote() << message;
}
} // namespace

void CommandGuard::setReporter(ErrorReporter* reporter)
{
    g_reporter = reporter;
}

ErrorReporter* CommandGuard::reporter()
{
    return g_reporter;
}

bool CommandGuard::run(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const OrdnixError& error) {
        report(error.message());
    } catch (const std::bad_alloc&) {
        report(QStringLiteral("Nicht genügend Arbeitsspeicher, der Befehl wurde abgebrochen."));
    } catch (const std::exception& error) {
        report(QStringLiteral("Unerwarteter Fehler: %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        report(QStringLiteral("Unerwarteter Fehler, der Befehl wurde abgebrochen."));
    }
    return false;
}
