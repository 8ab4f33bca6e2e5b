#pragma once

#include <QString>

#include <stdexcept>

// The one failure the program raises itself: a database, file or picture error with a German
// message that names the file or table concerned. The command guard shows it to the user.
class OrdnixError : public std::runtime_error
{
public:
    explicit OrdnixError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {}

    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};
