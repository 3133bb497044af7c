#pragma once

#include <QString>
#include <QByteArray>
#include <exception>

// The one error type the core raises: it carries the message the user reads.
class TError : public std::exception
{
public:
    explicit TError(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
    const QString &message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};
