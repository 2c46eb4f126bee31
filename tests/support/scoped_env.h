#pragma once

#include <QByteArray>
#include <QString>

// Sets an environment variable for the life of the object, then puts back the one before.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name), before_(qgetenv(name)), was_(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnv()
    {
        if (was_)
            qputenv(name_, before_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray before_;
    bool was_;
};
